#pragma once

#include "platform/portable/RgbImage.h"

#include <cstddef>
#include <memory>

// Reads a 24-bit uncompressed BMP file held in memory (rows bottom-up or top-down); null for
// anything else or a file too short for what its header claims.
std::unique_ptr<RgbImage> decodeBmp(const unsigned char* bytes, std::size_t size);
