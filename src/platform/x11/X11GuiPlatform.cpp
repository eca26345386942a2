#include "platform/x11/X11GuiPlatform.h"

#include "platform/software/PanelPictures.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Window.h"

#include <algorithm>
#include <chrono>

X11GuiPlatform::X11GuiPlatform() = default;
X11GuiPlatform::~X11GuiPlatform() = default;

std::unique_ptr<BitmapImage> X11GuiPlatform::loadBitmap(std::int32_t resourceNumber) {
    return embeddedPanelPicture(resourceNumber);
}

std::unique_ptr<NativeWindow> X11GuiPlatform::createWindow(void* parent, std::int32_t width, std::int32_t height,
                                                           WindowClient& client) {
    closeAbandonedConnections();
    return X11Window::create(*this, parent, width, height, client);
}

std::uint32_t X11GuiPlatform::tickCount() {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    // Wraps after 2^32 milliseconds like the Windows tick count; callers subtract in unsigned arithmetic.
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}

void X11GuiPlatform::sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void X11GuiPlatform::dispatchPendingPaint() {
    std::lock_guard<std::mutex> guard(lock);
    for (X11Window* window : windows)
        if (window->onOwnerThread()) window->paintIfExposed();
}

void X11GuiPlatform::windowOpened(X11Window& window) {
    std::lock_guard<std::mutex> guard(lock);
    windows.push_back(&window);
}

void X11GuiPlatform::windowClosed(X11Window& window) {
    std::lock_guard<std::mutex> guard(lock);
    windows.erase(std::remove(windows.begin(), windows.end(), &window), windows.end());
}

void X11GuiPlatform::closeLater(std::unique_ptr<X11Connection> connection, std::thread::id owner) {
    std::lock_guard<std::mutex> guard(lock);
    abandoned.push_back({std::move(connection), owner});
}

void X11GuiPlatform::closeAbandonedConnections() {
    std::vector<Abandoned> mine;
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto others = std::partition(abandoned.begin(), abandoned.end(), [](const Abandoned& entry) {
            return entry.owner != std::this_thread::get_id();
        });
        std::move(others, abandoned.end(), std::back_inserter(mine));
        abandoned.erase(others, abandoned.end());
    }
    // `mine` closes them here, outside the lock: closing waits for the server.
}
