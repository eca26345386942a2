#pragma once

#include "gui/BitmapImage.h"
#include "gui/GuiGeometry.h"
#include "picture/RgbPicture.h"

#include <cstdint>
#include <utility>

// A picture in memory as the toolkit draws and blits it.
class RgbImage final : public BitmapImage {
public:
    RgbImage(std::int32_t width, std::int32_t height, Colour fill = kBlack);
    explicit RgbImage(RgbPicture picture) : pixels(std::move(picture)) {}

    std::int32_t width() const override { return pixels.width(); }
    std::int32_t height() const override { return pixels.height(); }
    bool contains(std::int32_t x, std::int32_t y) const { return pixels.contains(x, y); }
    // Black outside the picture.
    Colour pixel(std::int32_t x, std::int32_t y) const;
    // Pixels outside the picture are ignored.
    void setPixel(std::int32_t x, std::int32_t y, Colour colour);
    const RgbPicture& picture() const { return pixels; }

private:
    RgbPicture pixels;
};
