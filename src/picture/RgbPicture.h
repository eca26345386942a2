#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    std::uint8_t red, green, blue;
};

constexpr bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
constexpr bool operator!=(Rgb a, Rgb b) { return !(a == b); }

// A picture in memory, row 0 at the top. Reading outside it gives black and drawing outside it is
// ignored, which lets shapes run off an edge without each caller clipping.
class RgbPicture {
public:
    RgbPicture(int width, int height, Rgb fill = {0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);

    bool operator==(const RgbPicture& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    bool operator!=(const RgbPicture& other) const { return !(*this == other); }

private:
    std::size_t offsetOf(int x, int y) const;

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};
