#include "platform/portable/SoftwarePlatform.h"

#include "platform/portable/PanelPictures.h"
#include "platform/portable/SoftwareWindow.h"

#include <algorithm>

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
    return std::make_unique<SoftwareWindow>(*this, width, height, client);
}

void SoftwarePlatform::sleep(std::uint32_t milliseconds) {
    clock += milliseconds;
    slept += milliseconds;
}

void SoftwarePlatform::dispatchPendingPaint() {
    const auto waiting =
        std::find_if(windows.begin(), windows.end(), [](SoftwareWindow* w) { return w->needsPaint(); });
    if (waiting == windows.end()) return;
    ++dispatched;
    (*waiting)->paint();
}

void SoftwarePlatform::addBitmap(std::int32_t resourceNumber, const RgbImage& picture) {
    pictures.insert_or_assign(resourceNumber, picture);
}

void SoftwarePlatform::windowOpened(SoftwareWindow& window) { windows.push_back(&window); }

void SoftwarePlatform::windowClosed(SoftwareWindow& window) {
    windows.erase(std::remove(windows.begin(), windows.end(), &window), windows.end());
}
