#pragma once

#include "gui/GuiGeometry.h"

#include <cstdint>
#include <memory>

class BitmapImage;
class NativeWindow;
class WindowClient;

// The operating system as the toolkit sees it: pictures by number, child windows, a clock, and
// delivery of pending paints while a control is dragged.
class GuiPlatform {
public:
    virtual ~GuiPlatform() = default;

    // The picture with this resource number, or null when there is none.
    virtual std::unique_ptr<BitmapImage> loadBitmap(std::int32_t resourceNumber) = 0;
    // A visible child window of `parent` at (0, 0) of the given size; null (and nothing left behind)
    // when it cannot be made.
    virtual std::unique_ptr<NativeWindow> createWindow(void* parent, std::int32_t width, std::int32_t height,
                                                       WindowClient& client) = 0;
    // Milliseconds that wrap around after 2^32.
    virtual std::uint32_t tickCount() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Dispatches at most one paint waiting for the calling thread.
    virtual void dispatchPendingPaint() = 0;
    virtual PixelPoint screenCursor() = 0;
};
