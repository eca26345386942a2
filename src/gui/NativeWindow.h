#pragma once

#include "gui/GuiGeometry.h"

#include <memory>

class PaintContext;

// What the frame asks of its native child window. Destroying the object destroys the window,
// unless the window is already gone (the host may destroy its parent first).
class NativeWindow {
public:
    virtual ~NativeWindow() = default;

    // A context on the window's own surface, or null when the window is gone or the surface cannot be had.
    virtual std::unique_ptr<PaintContext> makeContext() = 0;
    // The screen cursor relative to the window's top-left corner.
    virtual PixelPoint cursorPosition() = 0;
    // Hosts may idle or redraw from a timer thread: drawing belongs to the thread that made the window.
    virtual bool onOwnerThread() const = 0;
    // Asks for a paint on the window's own thread.
    virtual void invalidate() = 0;
    virtual void setCursorShape(std::int32_t shape) = 0;
    // Answers whether drops are now accepted (on) or no longer registered (off).
    virtual bool setDropActive(bool on) = 0;
    // The native handle, for dialogs that belong to the editor; null once the window is gone.
    virtual void* handle() const = 0;
    // Where the window system has no event loop of its own for plug-ins, the window takes its
    // events here, at every idle on its own thread. A press handed on from here may close the
    // editor as it unwinds, so the caller does nothing after this call.
    virtual void handleEvents() {}
};

// What the window reports to the frame.
class WindowClient {
public:
    virtual ~WindowClient() = default;
    virtual void paintWindow(PaintContext& context) = 0;
    virtual void pressInWindow(PaintContext& context, const MousePress& press) = 0;
    // The window is being destroyed and will deliver nothing more.
    virtual void windowDestroyed() = 0;
    // Dragged file names (kind 0) or text (kind 1) let go over the window; true when taken.
    virtual bool dropInWindow(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) = 0;
};
