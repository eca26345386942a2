#include "plugin/GuiEditor.h"

#include "gui/GuiPlatform.h"
#include "plugin/EffectBaseEx.h"

GuiEditor::GuiEditor(EffectBaseEx& plugin, GuiPlatform& platform)
    : EditorBase(plugin), owner(plugin), guiPlatform(platform), messagePump(platform) {
    plugin.attachEditor(this);
}

// OLE belongs to the window's thread and is set up and torn down with the window, not here: the
// editor is made on whatever thread the host scans plug-ins from.
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
    if (messagePump.inHostIdle()) return;
    EditorBase::idle();
    if (editorFrame) editorFrame->idle();
}

int GuiEditor::setKnobMode(int mode) {
    knobSetting = mode;
    return 1;
}

bool GuiEditor::onWheel(float distance) {
    if (!editorFrame) return false;
    return editorFrame->wheelAtCursor(distance);
}

void GuiEditor::setParameter(std::int32_t, float) { requestUpdate(); }

void GuiEditor::redraw() {
    if (editorFrame) editorFrame->redraw(nullptr);
}

void GuiEditor::pumpMessages() { messagePump.pump(*this); }
void GuiEditor::beginEdit(std::int32_t tag) { owner.hostBeginEdit(tag); }
void GuiEditor::endEdit(std::int32_t tag) { owner.hostEndEdit(tag); }
void GuiEditor::hostIdle() { owner.hostIdle(); }

EditorFrame& GuiEditor::openFrame() {
    const PixelRect bounds{rect.left, rect.top, rect.right, rect.bottom};
    editorFrame = std::make_unique<EditorFrame>(guiPlatform, bounds, parentWindow(), this);
    return *editorFrame;
}
