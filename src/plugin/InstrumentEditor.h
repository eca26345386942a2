#pragma once

#include "editor/InstrumentPanel.h"
#include "plugin/GuiEditor.h"

#include <cstdint>

class PanelHost;

// The instrument's panel behind the host's editor opcodes: the frame and its drags belong to
// the editor, everything the panel shows and does to the panel.
class InstrumentEditor : public GuiEditor {
public:
    InstrumentEditor(EffectBaseEx& plugin, PanelHost& host, GuiPlatform& platform);
    ~InstrumentEditor() override;

    int open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void setParameter(std::int32_t index, float value) override;
    void beginEdit(std::int32_t tag) override;
    void endEdit(std::int32_t tag) override;

    ValueControl* controlFor(std::int32_t parameter) const { return panel.controlFor(parameter); }

private:
    void showPendingChanges() override;

    InstrumentPanel panel;
};
