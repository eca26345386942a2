#pragma once

#include "gui/FrameOwner.h"
#include "plugin/EditorBase.h"

#include <cstdint>

class EffectBaseEx;
class GuiPlatform;

// The editor with a window: answers the host's editor opcodes for a panel drawn by the toolkit.
// A derived editor builds its frame and widgets in `open` and tears them down in `close`.
class GuiEditor : public EditorBase, public FrameOwner {
public:
    GuiEditor(EffectBaseEx& plugin, GuiPlatform& platform);
    ~GuiEditor() override;

    int getRect(ERect** rect) override;
    int open(void* parentWindow) override;
    void idle() override;
    int setKnobMode(int mode) override;
    bool onWheel(float distance) override;
    virtual void setParameter(std::int32_t index, float value);
    virtual void redraw();

    void beginEdit(std::int32_t tag) override;
    void endEdit(std::int32_t tag) override;

    std::int32_t knobMode() const { return knobSetting; }

protected:
    // Opens the panel's frame in the parent given to `open`.
    EditorFrame& openFrame();

    ERect rect{};

private:
    void hostIdle() override;

    EffectBaseEx& owner;
    std::int32_t knobSetting = 0;
};
