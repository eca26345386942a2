#include "platform/software/SoftwareCanvas.h"

#include "platform/software/PointerSource.h"

#include <cstdlib>

SoftwareCanvas::SoftwareCanvas(RgbImage& target, PointerSource& source, PixelPoint windowOrigin)
    : pixels(&target), pointer(source), origin(windowOrigin) {}

SoftwareCanvas::SoftwareCanvas(std::int32_t width, std::int32_t height, Colour background, PointerSource& source)
    : ownPicture(std::make_unique<RgbImage>(width, height, background)), pixels(ownPicture.get()), pointer(source) {}

void SoftwareCanvas::drawLine(PixelPoint from, PixelPoint to) {
    const std::int32_t stepX = to.x > from.x ? 1 : (to.x < from.x ? -1 : 0);
    const std::int32_t stepY = to.y > from.y ? 1 : (to.y < from.y ? -1 : 0);
    const std::int32_t length = std::abs(to.x - from.x) + std::abs(to.y - from.y);
    for (std::int32_t i = 0; i < length; ++i) {
        if (dottedLines() && i % 2 == 1) continue;
        pixels->setPixel(from.x + i * stepX, from.y + i * stepY, frameColour());
    }
}

void SoftwareCanvas::drawFrameRect(const PixelRect& r) {
    drawLine({r.left, r.top}, {r.right, r.top});
    drawLine({r.right, r.top}, {r.right, r.bottom});
    drawLine({r.right, r.bottom}, {r.left, r.bottom});
    drawLine({r.left, r.bottom}, {r.left, r.top});
}

void SoftwareCanvas::fillRect(const PixelRect& r) {
    for (std::int32_t y = r.top + 1; y < r.bottom; ++y)
        for (std::int32_t x = r.left + 1; x < r.right; ++x) pixels->setPixel(x, y, fillColour());
}

void SoftwareCanvas::blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) {
    const auto* picture = dynamic_cast<const RgbImage*>(&image);
    if (!picture) return;
    for (std::int32_t y = 0; y < dest.height(); ++y)
        for (std::int32_t x = 0; x < dest.width(); ++x) {
            const Colour colour = picture->pixel(source.x + x, source.y + y);
            if (colourKeyed && colour.sameRgb(kTransparentColour)) continue;
            pixels->setPixel(dest.left + x, dest.top + y, colour);
        }
}

std::unique_ptr<OffscreenSurface> SoftwareCanvas::makeOffscreen(std::int32_t width, std::int32_t height,
                                                                Colour background) {
    return std::make_unique<SoftwareCanvas>(width, height, background, pointer);
}

MouseButtons SoftwareCanvas::mouseButtons() { return pointer.heldButtons(); }

PixelPoint SoftwareCanvas::mouseLocation() {
    const PixelPoint screen = pointer.readCursor();
    return {screen.x - origin.x, screen.y - origin.y};
}

void SoftwareCanvas::copyTo(PaintContext& target, const PixelRect& dest, PixelPoint source) {
    target.blit(*pixels, dest, source, false);
}
