#pragma once

#include <cstdint>

// Pixel coordinates of the editor window: origin at its top-left corner, y growing downward.
struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    // Edges count as inside: a press on the right or bottom edge still belongs to the rectangle.
    bool containsInclusive(PixelPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused = 0;

    bool sameRgb(const Colour& other) const { return red == other.red && green == other.green && blue == other.blue; }
};

constexpr Colour kBlack{0, 0, 0, 0};
constexpr Colour kWhite{255, 255, 255, 0};
// Bitmap pixels of this colour let the destination show through a colour-keyed draw.
constexpr Colour kTransparentColour = kWhite;

// Buttons and modifier keys held, as one mask.
using MouseButtons = std::uint32_t;
constexpr MouseButtons kLeftButton = 1;
constexpr MouseButtons kMiddleButton = 2;
constexpr MouseButtons kRightButton = 4;
constexpr MouseButtons kShiftKey = 8;
constexpr MouseButtons kControlKey = 16;
constexpr MouseButtons kAltKey = 32;
constexpr MouseButtons kAnyMouseButton = kLeftButton | kMiddleButton | kRightButton;
// Control plus the left button and nothing else resets a control to its default.
constexpr MouseButtons kResetClick = kLeftButton | kControlKey;

// A button press as the window received it: where, and what was held at that moment.
struct MousePress {
    PixelPoint point;
    MouseButtons buttons = 0;
};
