#pragma once

#include "gui/NativeWindow.h"
#include "platform/software/RgbImage.h"

#include <atomic>
#include <mutex>
#include <thread>

class SoftwarePlatform;

// A child window whose screen is a picture in memory. Tests deliver what a window system would:
// paints, presses, and the parent's destruction. The platform owns it; the frame holds a handle.
class SoftwareWindow final : public NativeWindow {
public:
    SoftwareWindow(SoftwarePlatform& platform, std::int32_t width, std::int32_t height, WindowClient& client);

    std::unique_ptr<PaintContext> makeContext() override;
    PixelPoint cursorPosition() override;
    bool onOwnerThread() const override { return std::this_thread::get_id() == ownerThread; }
    void invalidate() override { paintPending = true; }
    void setCursorShape(std::int32_t shape) override { cursorShape = shape; }
    bool setDropActive(bool on) override;
    void* handle() const override { return alive ? const_cast<SoftwareWindow*>(this) : nullptr; }

    // What the window system does on its own.
    void paint();
    void press(PixelPoint point, MouseButtons buttons);
    void destroyWithParent();
    // From any thread: the window calls its client no more, once a paint in progress has ended.
    void detach();
    bool isAttached() const { return attached; }

    const RgbImage& screen() const { return pixels; }
    bool needsPaint() const { return paintPending; }
    bool acceptsDrops() const { return dropRegistered; }
    std::int32_t shape() const { return cursorShape; }

private:
    SoftwarePlatform& platform;
    WindowClient& client;
    // A detach from another thread waits for a paint in progress, and a paint after it finds no client.
    std::mutex attachment;
    std::atomic<bool> attached{true};
    RgbImage pixels;
    std::thread::id ownerThread = std::this_thread::get_id();
    std::int32_t cursorShape = 0;
    std::atomic<bool> paintPending{true};
    bool dropRegistered = false;
    bool alive = true;
};
