#pragma once

#include "PixelCanvas.h"

// The control bitmaps. Bitmaps with several images stack them vertically, first image on top.

// 20 x 40: the square key released (top) and pressed and lit (bottom).
PixelCanvas drawKeyBitmap();
// 17 x 9: the fader handle; its pure white corners are transparent.
PixelCanvas drawFaderHandle();
// 8 x 16: a green LED off (top) and on (bottom).
PixelCanvas drawLedBitmap();
// 8 x 34: two red LEDs, the upper lit (top image) and the lower lit (bottom image).
PixelCanvas drawModeLedBitmap();
// 19 x 354: six images of a column of note values, image k lighting the k-th value.
PixelCanvas drawSyncModeBitmap();
