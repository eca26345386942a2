#include "platform/portable/SoftwarePlatform.h"

#include "platform/portable/SoftwareWindow.h"
#include "platform/portable/SoftwareWindowHandle.h"
#include "platform/software/PanelPictures.h"

#include <algorithm>
#include <iterator>

SoftwarePlatform::SoftwarePlatform() = default;
SoftwarePlatform::~SoftwarePlatform() = default;

std::unique_ptr<BitmapImage> SoftwarePlatform::loadBitmap(std::int32_t resourceNumber) {
    const auto found = pictures.find(resourceNumber);
    if (found != pictures.end()) return std::make_unique<RgbImage>(found->second);
    return embeddedPanelPicture(resourceNumber);
}

std::unique_ptr<NativeWindow> SoftwarePlatform::createWindow(void* parent, std::int32_t width, std::int32_t height,
                                                             WindowClient& client) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    auto window = std::make_unique<SoftwareWindow>(*this, width, height, client);
    SoftwareWindow& made = *window;
    {
        const std::lock_guard<std::mutex> guard(windowList);
        windows.push_back(std::move(window));
    }
    return std::make_unique<SoftwareWindowHandle>(*this, made);
}

void SoftwarePlatform::sleep(std::uint32_t milliseconds) {
    clock += milliseconds;
    slept += milliseconds;
}

void SoftwarePlatform::dispatchPendingPaint() {
    destroyReleasedWindowsOfThisThread();
    SoftwareWindow* waiting = nullptr;
    {
        const std::lock_guard<std::mutex> guard(windowList);
        for (const auto& window : windows)
            if (!waiting && window->isAttached() && window->needsPaint()) waiting = window.get();
    }
    if (!waiting) return;
    ++dispatched;
    // Only this thread destroys its windows, so the window outlives the paint without the lock.
    waiting->paint();
}

void SoftwarePlatform::addBitmap(std::int32_t resourceNumber, const RgbImage& picture) {
    pictures.insert_or_assign(resourceNumber, picture);
}

SoftwareWindow* SoftwarePlatform::lastWindow() const {
    const std::lock_guard<std::mutex> guard(windowList);
    const auto held = std::find_if(windows.rbegin(), windows.rend(), [](const auto& w) { return w->isAttached(); });
    return held == windows.rend() ? nullptr : held->get();
}

std::size_t SoftwarePlatform::windowCount() const {
    const std::lock_guard<std::mutex> guard(windowList);
    return windows.size();
}

void SoftwarePlatform::windowReleased(SoftwareWindow& window) {
    window.detach();
    if (window.onOwnerThread()) destroyReleasedWindowsOfThisThread();
}

void SoftwarePlatform::destroyReleasedWindowsOfThisThread() {
    std::vector<std::unique_ptr<SoftwareWindow>> released;
    {
        const std::lock_guard<std::mutex> guard(windowList);
        const auto kept = std::stable_partition(windows.begin(), windows.end(),
                                                [](const auto& w) { return w->isAttached() || !w->onOwnerThread(); });
        std::move(kept, windows.end(), std::back_inserter(released));
        windows.erase(kept, windows.end());
    }
}
