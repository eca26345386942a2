#pragma once

#include <windows.h>

#include "picture/RgbPicture.h"

#include <string>

// The pixels of a window as they are on the screen, read back through its device context.
class PanelPicture {
public:
    using Rgb = ::Rgb;

    static PanelPicture of(HWND window);

    int width() const { return pixels.width(); }
    int height() const { return pixels.height(); }
    bool empty() const { return pixels.width() == 0 || pixels.height() == 0; }
    // Black outside the picture.
    Rgb at(int x, int y) const { return pixels.pixel(x, y); }
    // The first row from `top` downward in column `x` that has `colour`, or -1.
    int firstRowWith(int x, int top, int bottom, Rgb colour) const;
    // 24-bit uncompressed BMP, for pictures a person or `compare` looks at.
    bool writeBmp(const std::string& path) const;

private:
    RgbPicture pixels{0, 0};
};
