#pragma once

#include "gui/BitmapImage.h"
#include "gui/GuiGeometry.h"

#include <cstdint>
#include <vector>

// A picture in memory, three bytes per pixel in red, green, blue order, rows from the top.
class RgbImage final : public BitmapImage {
public:
    RgbImage(std::int32_t width, std::int32_t height, Colour fill = kBlack);

    std::int32_t width() const override { return columns; }
    std::int32_t height() const override { return rows; }
    bool contains(std::int32_t x, std::int32_t y) const { return x >= 0 && y >= 0 && x < columns && y < rows; }
    Colour pixel(std::int32_t x, std::int32_t y) const;
    // Pixels outside the picture are ignored.
    void setPixel(std::int32_t x, std::int32_t y, Colour colour);
    const std::vector<std::uint8_t>& bytes() const { return rgb; }

private:
    std::size_t offsetOf(std::int32_t x, std::int32_t y) const;

    std::int32_t columns;
    std::int32_t rows;
    std::vector<std::uint8_t> rgb;
};
