#pragma once

#include "gui/EditorFrame.h"
#include "gui/FrameHost.h"
#include "gui/MessagePump.h"

#include <memory>

class GuiPlatform;

// Holds a panel's frame in its parent window and keeps host and panel alive while a control is
// dragged. What the host hears of a drag, and what its idle is, the plug-in format's door decides.
class FrameOwner : public FrameHost, protected MessagePump::Client {
public:
    explicit FrameOwner(GuiPlatform& platform);
    ~FrameOwner() override;
    FrameOwner(const FrameOwner&) = delete;
    FrameOwner& operator=(const FrameOwner&) = delete;

    // The frame's idle; nothing while the host's idle runs inside a drag, which may call back here.
    virtual void idle();
    void pumpMessages() override;
    bool wheelAtCursor(float distance);

    EditorFrame* frame() const { return editorFrame.get(); }
    GuiPlatform& platform() const { return guiPlatform; }
    // Opens the panel's frame in `parent`; `closeFrame` destroys it and its window.
    EditorFrame& openFrame(const PixelRect& bounds, void* parent);
    // The window goes while the frame is still reachable: a paint in progress on the window's
    // thread, closed from another, reaches the frame through its owner until the window lets go.
    void closeFrame() {
        if (editorFrame) editorFrame->closeWindow();
        editorFrame.reset();
    }

protected:
    bool inHostIdle() const { return messagePump.inHostIdle(); }

private:
    void editorIdle() override { idle(); }

    GuiPlatform& guiPlatform;
    std::unique_ptr<EditorFrame> editorFrame;
    MessagePump messagePump;
};
