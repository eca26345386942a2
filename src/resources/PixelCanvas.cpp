#include "PixelCanvas.h"

#include <cstddef>

Rgb mix(Rgb from, Rgb to, int toWeight256) {
    const auto channel = [toWeight256](int a, int b) {
        return static_cast<std::uint8_t>((a * (256 - toWeight256) + b * toWeight256 + 128) / 256);
    };
    return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

void PixelCanvas::fillRect(int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) horizontalLine(left, right - 1, y, colour);
}

void PixelCanvas::horizontalLine(int fromX, int toX, int y, Rgb colour) {
    for (int x = fromX; x <= toX; ++x) setPixel(x, y, colour);
}

void PixelCanvas::verticalLine(int x, int fromY, int toY, Rgb colour) {
    for (int y = fromY; y <= toY; ++y) setPixel(x, y, colour);
}

void PixelCanvas::bevel(int left, int top, int right, int bottom, Rgb light, Rgb dark) {
    horizontalLine(left, right - 1, top, light);
    verticalLine(left, top, bottom - 1, light);
    horizontalLine(left + 1, right - 1, bottom - 1, dark);
    verticalLine(right - 1, top + 1, bottom - 1, dark);
}

void PixelCanvas::stamp(int left, int top, const std::vector<const char*>& rows, Rgb colour) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; rows[row][column] != '\0'; ++column) {
            if (rows[row][column] != '.') setPixel(left + column, top + static_cast<int>(row), colour);
        }
    }
}

void PixelCanvas::paste(const RgbPicture& picture, int left, int top) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) setPixel(left + x, top + y, picture.pixel(x, y));
    }
}
