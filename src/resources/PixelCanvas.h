#pragma once

#include "picture/RgbPicture.h"

#include <vector>

// Mixes two colours in integer steps of 1/256, so every build draws the same pixels.
Rgb mix(Rgb from, Rgb to, int toWeight256);

// The artwork's drawing on a picture.
class PixelCanvas : public RgbPicture {
public:
    PixelCanvas(int width, int height, Rgb fill) : RgbPicture(width, height, fill) {}

    // Rectangles take left and top inclusive, right and bottom exclusive; lines include both ends.
    void fillRect(int left, int top, int right, int bottom, Rgb colour);
    void horizontalLine(int fromX, int toX, int y, Rgb colour);
    void verticalLine(int x, int fromY, int toY, Rgb colour);
    // A one-pixel edge lit from the top left: light on the top and left sides, dark on the others.
    void bevel(int left, int top, int right, int bottom, Rgb light, Rgb dark);
    // Draws a picture given as rows of characters; '.' leaves the canvas alone.
    void stamp(int left, int top, const std::vector<const char*>& rows, Rgb colour);
    void paste(const RgbPicture& picture, int left, int top);
};
