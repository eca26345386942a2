#include "platform/portable/RgbImage.h"

#include <algorithm>

RgbImage::RgbImage(std::int32_t width, std::int32_t height, Colour fill)
    : columns(std::max(width, 0)), rows(std::max(height, 0)) {
    rgb.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = fill.red;
        rgb[i + 1] = fill.green;
        rgb[i + 2] = fill.blue;
    }
}

std::size_t RgbImage::offsetOf(std::int32_t x, std::int32_t y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(x)) * 3;
}

Colour RgbImage::pixel(std::int32_t x, std::int32_t y) const {
    if (!contains(x, y)) return kBlack;
    const std::size_t at = offsetOf(x, y);
    return {rgb[at], rgb[at + 1], rgb[at + 2], 0};
}

void RgbImage::setPixel(std::int32_t x, std::int32_t y, Colour colour) {
    if (!contains(x, y)) return;
    const std::size_t at = offsetOf(x, y);
    rgb[at] = colour.red;
    rgb[at + 1] = colour.green;
    rgb[at + 2] = colour.blue;
}
