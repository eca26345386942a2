#pragma once

#include "gui/GuiGeometry.h"

#include <cstdint>
#include <memory>

class BitmapImage;
class GuiPlatform;
class PaintContext;

// A numbered picture shared by reference counting between the editor and the widgets that draw
// it. The creator holds the first reference; each further holder retains and releases its own.
class SkinBitmap {
public:
    SkinBitmap(GuiPlatform& platform, std::int32_t resourceNumber);
    SkinBitmap(const SkinBitmap&) = delete;
    SkinBitmap& operator=(const SkinBitmap&) = delete;

    void retain() { ++references; }
    // At 0 the bitmap is gone; a count already at 0 is left alone.
    void release();
    std::int32_t refCount() const { return references; }

    // Copies the part starting at `source`, of `dest`'s size, to `dest`; a picture that could not be
    // loaded draws nothing. Only the part lying inside the picture is drawn.
    void draw(PaintContext& context, const PixelRect& dest, PixelPoint source) const;
    // The same, leaving the destination wherever the picture has the transparent colour.
    void drawTransparent(PaintContext& context, const PixelRect& dest, PixelPoint source) const;

    std::int32_t resourceNumber() const { return number; }
    std::int32_t width() const { return pixelWidth; }
    std::int32_t height() const { return pixelHeight; }

    // Bitmaps alive in the module, for leak checks.
    static std::int32_t liveCount();

private:
    ~SkinBitmap();
    void drawClipped(PaintContext& context, const PixelRect& dest, PixelPoint source, bool colourKeyed) const;

    std::int32_t number;
    std::int32_t references = 1;
    std::int32_t pixelWidth = 0;
    std::int32_t pixelHeight = 0;
    std::unique_ptr<BitmapImage> image;
};
