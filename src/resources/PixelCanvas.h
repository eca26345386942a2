#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    std::uint8_t red, green, blue;
};

constexpr bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// Mixes two colours in integer steps of 1/256, so every build draws the same pixels.
Rgb mix(Rgb from, Rgb to, int toWeight256);

// An RGB picture the artwork is drawn on; row 0 is the top. Drawing outside it is ignored,
// which lets shapes run off an edge without each caller clipping.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;

    void setPixel(int x, int y, Rgb colour);
    // Rectangles take left and top inclusive, right and bottom exclusive; lines include both ends.
    void fillRect(int left, int top, int right, int bottom, Rgb colour);
    void horizontalLine(int fromX, int toX, int y, Rgb colour);
    void verticalLine(int x, int fromY, int toY, Rgb colour);
    // A one-pixel edge lit from the top left: light on the top and left sides, dark on the others.
    void bevel(int left, int top, int right, int bottom, Rgb light, Rgb dark);
    // Draws a picture given as rows of characters; '.' leaves the canvas alone.
    void stamp(int left, int top, const std::vector<const char*>& rows, Rgb colour);
    void paste(const PixelCanvas& picture, int left, int top);

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};
