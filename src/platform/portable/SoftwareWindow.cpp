#include "platform/portable/SoftwareWindow.h"

#include "gui/GestureScope.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/software/SoftwareCanvas.h"

namespace {
// What the window shows before its first paint, as the native class's button-face background does.
constexpr Colour buttonFace{212, 208, 200, 0};
}  // namespace

SoftwareWindow::SoftwareWindow(SoftwarePlatform& owner, std::int32_t width, std::int32_t height,
                               WindowClient& windowClient)
    : platform(owner), client(windowClient), pixels(width, height, buttonFace) {}

std::unique_ptr<PaintContext> SoftwareWindow::makeContext() {
    if (!alive) return nullptr;
    return std::make_unique<SoftwareCanvas>(pixels, platform.pointer(), platform.windowOrigin());
}

PixelPoint SoftwareWindow::cursorPosition() {
    const PixelPoint screen = platform.pointer().cursor();
    const PixelPoint origin = platform.windowOrigin();
    return {screen.x - origin.x, screen.y - origin.y};
}

bool SoftwareWindow::setDropActive(bool on) {
    if (!alive) return false;
    dropRegistered = on;
    return true;
}

void SoftwareWindow::paint() {
    paintPending = false;
    const std::lock_guard<std::mutex> guard(attachment);
    if (!attached) return;
    if (auto context = makeContext()) client.paintWindow(*context);
}

void SoftwareWindow::press(PixelPoint point, MouseButtons buttons) {
    // Declared first, so it unwinds last: what the host asked for meanwhile may destroy this window.
    GestureScope gesture;
    if (!attached) return;
    if (auto context = makeContext()) client.pressInWindow(*context, {point, buttons});
}

void SoftwareWindow::destroyWithParent() {
    if (!alive || !attached) return;
    dropRegistered = false;
    client.windowDestroyed();
    alive = false;
}

void SoftwareWindow::detach() {
    const std::lock_guard<std::mutex> guard(attachment);
    attached = false;
    dropRegistered = false;
}
