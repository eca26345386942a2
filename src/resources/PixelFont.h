#pragma once

#include <string>

#include "PixelCanvas.h"

// The panel's lettering: capitals, digits and a little punctuation, five pixels high, each
// glyph as wide as its shape needs, one pixel between glyphs.
class PixelFont {
public:
    static constexpr int kHeight = 5;

    static int textWidth(const std::string& text);
    static void drawText(PixelCanvas& canvas, int left, int top, const std::string& text, Rgb colour);
    static void drawCentred(PixelCanvas& canvas, int centreX, int top, const std::string& text, Rgb colour);
};
