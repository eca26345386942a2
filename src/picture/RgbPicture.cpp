#include "picture/RgbPicture.h"

#include <algorithm>
#include <cstddef>

RgbPicture::RgbPicture(int width, int height, Rgb fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

std::size_t RgbPicture::offsetOf(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
}

Rgb RgbPicture::pixel(int x, int y) const { return contains(x, y) ? pixels_[offsetOf(x, y)] : Rgb{0, 0, 0}; }

void RgbPicture::setPixel(int x, int y, Rgb colour) {
    if (contains(x, y)) pixels_[offsetOf(x, y)] = colour;
}
