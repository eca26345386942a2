#pragma once

#include "gui/OffscreenSurface.h"
#include "platform/software/RgbImage.h"

#include <memory>

class PointerSource;

// Draws into an RGB picture the way the native surface does: one-pixel lines without their end
// points, fills that leave the top row and left column to the outline, colour-keyed copies.
// It draws either onto a window's picture or, as an offscreen surface, onto a picture of its own.
class SoftwareCanvas final : public OffscreenSurface {
public:
    // Draws onto `target`; the pointer is read relative to `origin`, the window's place on the screen.
    SoftwareCanvas(RgbImage& target, PointerSource& pointer, PixelPoint origin);
    // A surface with its own picture, filled with `background`.
    SoftwareCanvas(std::int32_t width, std::int32_t height, Colour background, PointerSource& pointer);

    void drawFrameRect(const PixelRect& r) override;
    void fillRect(const PixelRect& r) override;
    void blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) override;
    std::unique_ptr<OffscreenSurface> makeOffscreen(std::int32_t width, std::int32_t height,
                                                    Colour background) override;
    MouseButtons mouseButtons() override;
    PixelPoint mouseLocation() override;
    void copyTo(PaintContext& target, const PixelRect& dest, PixelPoint source) override;

    const RgbImage& picture() const { return *pixels; }

private:
    // The segment from `from` toward `to`, without `to`, in the frame colour and line style.
    void drawLine(PixelPoint from, PixelPoint to);

    std::unique_ptr<RgbImage> ownPicture;
    RgbImage* pixels;
    PointerSource& pointer;
    PixelPoint origin;
};
