#pragma once

#include "gui/PaintContext.h"
#include "platform/software/PointerSource.h"
#include "platform/software/SoftwareCanvas.h"

class X11Window;

// Draws with the software canvas into the window's back buffer and reads the live pointer from
// the server. What it drew reaches the screen when it goes, or at the next paint a drag pumps.
class X11PaintContext final : public PaintContext {
public:
    X11PaintContext(X11Window& window, RgbImage& backBuffer);
    ~X11PaintContext() override;

    void drawFrameRect(const PixelRect& r) override;
    void fillRect(const PixelRect& r) override;
    void blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) override;
    std::unique_ptr<OffscreenSurface> makeOffscreen(std::int32_t width, std::int32_t height,
                                                    Colour background) override;
    MouseButtons mouseButtons() override;
    PixelPoint mouseLocation() override;

protected:
    void penChanged() override;
    void brushChanged() override;

private:
    // The server's pointer, in window coordinates, for the canvas and the surfaces it makes.
    class LivePointer final : public PointerSource {
    public:
        explicit LivePointer(X11Window& from) : window(from) {}
        MouseButtons heldButtons() override;
        PixelPoint readCursor() override;

    private:
        X11Window& window;
    };

    X11Window& window;
    LivePointer pointer;
    SoftwareCanvas canvas;
};
