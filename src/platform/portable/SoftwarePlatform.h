#pragma once

#include "gui/GuiPlatform.h"
#include "platform/portable/ScriptedPointer.h"
#include "platform/software/RgbImage.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

class SoftwareWindow;

// The toolkit's platform without an operating system: pictures come from memory (the panel's
// own bitmaps unless a test supplies others), windows draw
// into pictures, the pointer is scripted and the clock only moves when told to or when slept on.
class SoftwarePlatform final : public GuiPlatform {
public:
    SoftwarePlatform();
    ~SoftwarePlatform() override;

    std::unique_ptr<BitmapImage> loadBitmap(std::int32_t resourceNumber) override;
    std::unique_ptr<NativeWindow> createWindow(void* parent, std::int32_t width, std::int32_t height,
                                               WindowClient& client) override;
    std::uint32_t tickCount() override { return clock; }
    void sleep(std::uint32_t milliseconds) override;
    void dispatchPendingPaint() override;
    PixelPoint screenCursor() override { return scriptedPointer.cursor(); }

    // Pictures by number; these replace the panel artwork for the same number.
    void addBitmap(std::int32_t resourceNumber, const RgbImage& picture);
    void setClock(std::uint32_t milliseconds) { clock = milliseconds; }
    void setWindowOrigin(PixelPoint origin) { screenOrigin = origin; }

    ScriptedPointer& pointer() { return scriptedPointer; }
    PixelPoint windowOrigin() const { return screenOrigin; }
    // The most recently opened window that its frame still holds, or null.
    SoftwareWindow* lastWindow() const;
    // Every window not yet destroyed, let go by its frame or not.
    std::size_t windowCount() const;
    std::uint32_t sleptMilliseconds() const { return slept; }
    std::int32_t paintsDispatched() const { return dispatched; }

    // A window let go on its own thread is destroyed at once; one let go on another thread stops
    // calling in at once and is destroyed when its own thread next dispatches, as a window system's is.
    void windowReleased(SoftwareWindow& window);

private:
    void destroyReleasedWindowsOfThisThread();

    std::map<std::int32_t, RgbImage> pictures;
    // Windows are added and destroyed only on their own threads; a frame may let go from any thread.
    mutable std::mutex windowList;
    std::vector<std::unique_ptr<SoftwareWindow>> windows;
    ScriptedPointer scriptedPointer;
    PixelPoint screenOrigin;
    std::uint32_t clock = 0;
    std::uint32_t slept = 0;
    std::int32_t dispatched = 0;
};
