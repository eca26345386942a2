#include "gui/SkinBitmap.h"

#include "gui/BitmapImage.h"
#include "gui/GuiPlatform.h"
#include "gui/PaintContext.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<std::int32_t> liveBitmaps{0};
}

SkinBitmap::SkinBitmap(GuiPlatform& platform, std::int32_t resourceNumber)
    : number(resourceNumber), image(platform.loadBitmap(resourceNumber & 0xFFFF)) {
    if (image) {
        pixelWidth = image->width();
        pixelHeight = image->height();
    }
    ++liveBitmaps;
}

SkinBitmap::~SkinBitmap() { --liveBitmaps; }

std::int32_t SkinBitmap::liveCount() { return liveBitmaps; }

void SkinBitmap::release() {
    if (references <= 0) return;
    if (--references == 0) delete this;
}

void SkinBitmap::draw(PaintContext& context, const PixelRect& dest, PixelPoint source) const {
    drawClipped(context, dest, source, false);
}

void SkinBitmap::drawTransparent(PaintContext& context, const PixelRect& dest, PixelPoint source) const {
    drawClipped(context, dest, source, true);
}

// Rectangles may reach past the picture (the sync LED's is a pixel wider than its bitmap): the
// part outside it is left as it was rather than read from beyond the image.
void SkinBitmap::drawClipped(PaintContext& context, const PixelRect& dest, PixelPoint source, bool colourKeyed) const {
    if (!image) return;
    const std::int32_t skipX = std::max(0, -source.x);
    const std::int32_t skipY = std::max(0, -source.y);
    const std::int32_t width = std::min(dest.width(), pixelWidth - source.x) - skipX;
    const std::int32_t height = std::min(dest.height(), pixelHeight - source.y) - skipY;
    if (width <= 0 || height <= 0) return;
    const PixelRect clipped{dest.left + skipX, dest.top + skipY, dest.left + skipX + width, dest.top + skipY + height};
    context.blit(*image, clipped, {source.x + skipX, source.y + skipY}, colourKeyed);
}
