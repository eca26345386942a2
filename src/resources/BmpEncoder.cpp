#include "BmpEncoder.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kPixelsPerMetreAt72Dpi = 2835;

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

std::vector<unsigned char> encodeBmp(const PixelCanvas& canvas) {
    const auto width = static_cast<std::uint32_t>(canvas.width());
    const auto height = static_cast<std::uint32_t>(canvas.height());
    const std::uint32_t rowSize = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = rowSize * height;
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;

    std::vector<unsigned char> bytes;
    bytes.reserve(pixelOffset + pixelBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    putLittleEndian(bytes, pixelOffset + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);  // two reserved words
    putLittleEndian(bytes, pixelOffset, 4);

    putLittleEndian(bytes, kInfoHeaderSize, 4);
    putLittleEndian(bytes, width, 4);
    putLittleEndian(bytes, height, 4);  // positive: bottom-up rows
    putLittleEndian(bytes, 1, 2);       // planes
    putLittleEndian(bytes, kBitsPerPixel, 2);
    putLittleEndian(bytes, 0, 4);  // no compression
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, kPixelsPerMetreAt72Dpi, 4);
    putLittleEndian(bytes, kPixelsPerMetreAt72Dpi, 4);
    putLittleEndian(bytes, 0, 4);  // no palette
    putLittleEndian(bytes, 0, 4);

    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb colour = canvas.pixel(x, y);
            bytes.push_back(colour.blue);
            bytes.push_back(colour.green);
            bytes.push_back(colour.red);
        }
        for (std::uint32_t pad = width * 3; pad < rowSize; ++pad) bytes.push_back(0);
    }
    return bytes;
}
