#include "plugin/EditorBase.h"

int EditorBase::getRect(ERect** rect) {
    *rect = nullptr;
    return 0;
}

int EditorBase::open(void* parentWindow) {
    parent = parentWindow;
    return 0;
}

void EditorBase::idle() {
    if (updateFlag) {
        updateFlag = 0;
        update();
    }
}

int EditorBase::onKeyDown(VstKeyCode&) { return -1; }
int EditorBase::onKeyUp(VstKeyCode&) { return -1; }
int EditorBase::setKnobMode(int) { return 0; }
bool EditorBase::onWheel(float) { return false; }
