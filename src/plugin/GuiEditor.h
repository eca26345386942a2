#pragma once

#include "gui/EditorFrame.h"
#include "gui/FrameHost.h"
#include "gui/MessagePump.h"
#include "plugin/EditorBase.h"

#include <cstdint>
#include <memory>

class EffectBaseEx;
class GuiPlatform;

// The editor with a window: answers the host's editor opcodes for a panel drawn by the toolkit.
// A derived editor builds its frame and widgets in `open` and tears them down in `close`.
class GuiEditor : public EditorBase, public FrameHost, private MessagePump::Client {
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

    void pumpMessages() override;
    void beginEdit(std::int32_t tag) override;
    void endEdit(std::int32_t tag) override;

    EditorFrame* frame() const { return editorFrame.get(); }
    GuiPlatform& platform() const { return guiPlatform; }
    std::int32_t knobMode() const { return knobSetting; }

protected:
    // Opens the panel's frame in the parent given to `open`; `closeFrame` destroys it and its window.
    EditorFrame& openFrame();
    // The window goes while the frame is still reachable: a paint in progress on the window's
    // thread, closed from another, reaches the frame through this editor until the window lets go.
    void closeFrame() {
        if (editorFrame) editorFrame->closeWindow();
        editorFrame.reset();
    }

    ERect rect{};

private:
    void editorIdle() override { idle(); }
    void hostIdle() override;

    EffectBaseEx& owner;
    GuiPlatform& guiPlatform;
    std::unique_ptr<EditorFrame> editorFrame;
    MessagePump messagePump;
    std::int32_t knobSetting = 0;
};
