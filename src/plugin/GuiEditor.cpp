#include "plugin/GuiEditor.h"

#include "gui/GuiPlatform.h"
#include "plugin/EffectBaseEx.h"

GuiEditor::GuiEditor(EffectBaseEx& plugin, GuiPlatform& platform)
    : EditorBase(plugin), FrameOwner(platform), owner(plugin) {
    plugin.attachEditor(this);
}

GuiEditor::~GuiEditor() = default;

int GuiEditor::getRect(ERect** place) {
    *place = &rect;
    return 1;
}

int GuiEditor::open(void* parentWindow) {
    requestUpdate();
    EditorBase::open(parentWindow);
    return 0;
}

void GuiEditor::idle() {
    if (inHostIdle()) return;
    EditorBase::idle();
    FrameOwner::idle();
}

int GuiEditor::setKnobMode(int mode) {
    knobSetting = mode;
    return 1;
}

bool GuiEditor::onWheel(float distance) { return wheelAtCursor(distance); }

void GuiEditor::setParameter(std::int32_t, float) { requestUpdate(); }

void GuiEditor::redraw() {
    if (frame()) frame()->redraw(nullptr);
}

void GuiEditor::beginEdit(std::int32_t tag) { owner.hostBeginEdit(tag); }
void GuiEditor::endEdit(std::int32_t tag) { owner.hostEndEdit(tag); }
void GuiEditor::hostIdle() { owner.hostIdle(); }

EditorFrame& GuiEditor::openFrame() {
    return FrameOwner::openFrame({rect.left, rect.top, rect.right, rect.bottom}, parentWindow());
}
