#include "platform/software/RgbImage.h"

RgbImage::RgbImage(std::int32_t width, std::int32_t height, Colour fill)
    : pixels(width, height, {fill.red, fill.green, fill.blue}) {}

Colour RgbImage::pixel(std::int32_t x, std::int32_t y) const {
    const Rgb colour = pixels.pixel(x, y);
    return {colour.red, colour.green, colour.blue, 0};
}

void RgbImage::setPixel(std::int32_t x, std::int32_t y, Colour colour) {
    pixels.setPixel(x, y, {colour.red, colour.green, colour.blue});
}
