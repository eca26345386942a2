#pragma once

#include "gui/NativeWindow.h"
#include "platform/x11/X11BackBuffer.h"
#include "platform/x11/X11Connection.h"

#include <atomic>
#include <optional>
#include <thread>

class X11GuiPlatform;

// The editor's child window on X11. There is no event loop of our own: the window reads its
// events when the host idles the editor and when a drag pumps, always without blocking.
//
// Threads: every X call happens on the thread that made the window. Another thread may only ask
// for a paint (`invalidate` sets `paintAsked`, which the owner's next idle takes) or destroy the
// window, which hands the connection to the platform for the owner thread to close.
class X11Window final : public NativeWindow {
public:
    // Null, with no connection left open, when `parent` is not a live window or no display is reached.
    static std::unique_ptr<X11Window> create(X11GuiPlatform& platform, void* parent, std::int32_t width,
                                             std::int32_t height, WindowClient& client);
    ~X11Window() override;

    std::unique_ptr<PaintContext> makeContext() override;
    PixelPoint cursorPosition() override;
    bool onOwnerThread() const override { return std::this_thread::get_id() == ownerThread; }
    void invalidate() override { paintAsked.store(true); }
    // The panel only ever restores the arrow, which it never changed.
    void setCursorShape(std::int32_t) override {}
    // Nothing is dropped on the panel on X11.
    bool setDropActive(bool) override { return false; }
    void* handle() const override;
    void handleEvents() override;

    // For the drag pump: a waiting paint, then whatever was drawn since the last time.
    void paintIfExposed();
    MouseButtons pointerButtons();
    void markDrawn() { drawnSinceShown = true; }
    void presentDrawing();

private:
    struct PointerState {
        PixelPoint at;
        MouseButtons held = 0;
    };

    X11Window(X11GuiPlatform& platform, std::unique_ptr<X11Connection> connection, std::int32_t width,
              std::int32_t height, WindowClient& client);
    PointerState queryPointer();
    // Takes what the connection has received, presses only when `pressesToo`; stops at the first
    // press and answers it.
    std::optional<MousePress> takeEvents(bool pressesToo);
    void paint();
    void forgetWindow();
    // Hands control to the widget under the press. The host may close the editor or the plug-in
    // from inside; that is carried out as the gesture unwinds, so nothing here may follow it.
    void deliverPress(const MousePress& press);

    X11GuiPlatform& platform;
    std::unique_ptr<X11Connection> connection;
    X11BackBuffer backBuffer;
    WindowClient& client;
    const std::thread::id ownerThread = std::this_thread::get_id();
    std::atomic<bool> paintAsked{false};
    bool drawnSinceShown = false;
    bool pressing = false;
    bool lossReported = false;
};
