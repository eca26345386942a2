#pragma once

#include "gui/NativeWindow.h"

class SoftwarePlatform;
class SoftwareWindow;

// What a frame holds of a software window. Letting go of it lets go of the window, which the
// platform destroys on the window's own thread.
class SoftwareWindowHandle final : public NativeWindow {
public:
    SoftwareWindowHandle(SoftwarePlatform& platform, SoftwareWindow& window);
    ~SoftwareWindowHandle() override;
    SoftwareWindowHandle(const SoftwareWindowHandle&) = delete;
    SoftwareWindowHandle& operator=(const SoftwareWindowHandle&) = delete;

    std::unique_ptr<PaintContext> makeContext() override;
    PixelPoint cursorPosition() override;
    bool onOwnerThread() const override;
    void invalidate() override;
    void setCursorShape(std::int32_t shape) override;
    bool setDropActive(bool on) override;
    void* handle() const override;

private:
    SoftwarePlatform& platform;
    SoftwareWindow& window;
};
