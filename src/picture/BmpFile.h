#pragma once

#include "picture/RgbPicture.h"

#include <cstddef>
#include <optional>
#include <vector>

// Writes a picture as a whole .bmp file: 24-bit, uncompressed, rows bottom-up and padded to four
// bytes, which is what the resource compiler, the Windows bitmap loader and image viewers take.
std::vector<unsigned char> encodeBmp(const RgbPicture& picture);

// Reads a 24-bit uncompressed .bmp file held in memory (rows bottom-up or top-down); nothing for
// any other kind of file or one too short for what its header claims.
std::optional<RgbPicture> decodeBmp(const unsigned char* bytes, std::size_t size);
