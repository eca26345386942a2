#pragma once

// Sizes the control bitmaps and the panel around them must agree on.
namespace geometry {

constexpr int kKeySize = 20;
constexpr int kHandleWidth = 17;
constexpr int kHandleHeight = 9;
constexpr int kLedSize = 8;
// The filter mode switch: two LEDs with a one-pixel gap.
constexpr int kModeSwitchHeight = 2 * kLedSize + 1;

}  // namespace geometry
