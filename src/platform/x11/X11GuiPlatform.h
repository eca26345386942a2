#pragma once

#include "gui/GuiPlatform.h"

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class X11Connection;
class X11Window;

// The toolkit on X11: the panel's pictures from the library itself, child windows on
// connections of their own, the monotonic clock.
//
// Threads: windows of several editors may live on several threads. The lists below are shared
// and guarded by `lock`; each entry is only touched for X calls on its owner's thread.
class X11GuiPlatform final : public GuiPlatform {
public:
    X11GuiPlatform();
    ~X11GuiPlatform() override;

    std::unique_ptr<BitmapImage> loadBitmap(std::int32_t resourceNumber) override;
    std::unique_ptr<NativeWindow> createWindow(void* parent, std::int32_t width, std::int32_t height,
                                               WindowClient& client) override;
    std::uint32_t tickCount() override;
    void sleep(std::uint32_t milliseconds) override;
    // Paints the calling thread's windows that wait for a paint and shows what a drag drew in them.
    void dispatchPendingPaint() override;
    // Only asked when a frame has no window, where no position is meaningful.
    PixelPoint screenCursor() override { return {}; }

    void windowOpened(X11Window& window);
    void windowClosed(X11Window& window);
    // A window destroyed on another thread leaves its connection for its own thread to close.
    void closeLater(std::unique_ptr<X11Connection> connection, std::thread::id owner);
    void closeAbandonedConnections();

private:
    struct Abandoned {
        std::unique_ptr<X11Connection> connection;
        std::thread::id owner;
    };

    std::mutex lock;
    std::vector<X11Window*> windows;
    std::vector<Abandoned> abandoned;
};
