#include "plugin/InstrumentEditor.h"

InstrumentEditor::InstrumentEditor(EffectBaseEx& plugin, PanelHost& host, GuiPlatform& platform)
    : GuiEditor(plugin, platform), panel(host, *this) {
    const PixelRect& at = InstrumentPanel::panelArea;
    rect = ERect{static_cast<std::int16_t>(at.top), static_cast<std::int16_t>(at.left),
                 static_cast<std::int16_t>(at.bottom), static_cast<std::int16_t>(at.right)};
}

InstrumentEditor::~InstrumentEditor() = default;

int InstrumentEditor::open(void* parentWindow) {
    GuiEditor::open(parentWindow);
    return panel.open(parentWindow);
}

void InstrumentEditor::close() { panel.close(); }

void InstrumentEditor::idle() {
    if (panel.idle()) GuiEditor::idle();
}

void InstrumentEditor::setParameter(std::int32_t index, float value) { panel.setParameter(index, value); }
void InstrumentEditor::beginEdit(std::int32_t tag) { panel.beginEdit(tag); }
void InstrumentEditor::endEdit(std::int32_t tag) { panel.endEdit(tag); }
void InstrumentEditor::showPendingChanges() { panel.showPendingChanges(); }
