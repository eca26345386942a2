#include "platform/portable/SoftwareWindowHandle.h"

#include "gui/PaintContext.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"

SoftwareWindowHandle::SoftwareWindowHandle(SoftwarePlatform& owner, SoftwareWindow& held)
    : platform(owner), window(held) {}

SoftwareWindowHandle::~SoftwareWindowHandle() { platform.windowReleased(window); }

std::unique_ptr<PaintContext> SoftwareWindowHandle::makeContext() { return window.makeContext(); }
PixelPoint SoftwareWindowHandle::cursorPosition() { return window.cursorPosition(); }
bool SoftwareWindowHandle::onOwnerThread() const { return window.onOwnerThread(); }
void SoftwareWindowHandle::invalidate() { window.invalidate(); }
void SoftwareWindowHandle::setCursorShape(std::int32_t shape) { window.setCursorShape(shape); }
bool SoftwareWindowHandle::setDropActive(bool on) { return window.setDropActive(on); }
void* SoftwareWindowHandle::handle() const { return window.handle(); }
