#pragma once

#include <vector>

#include "PixelCanvas.h"

// Writes a canvas as a whole .bmp file: 24-bit, uncompressed, rows bottom-up and padded to four
// bytes, which is what both the resource compiler and the Windows bitmap loader take.
std::vector<unsigned char> encodeBmp(const PixelCanvas& canvas);
