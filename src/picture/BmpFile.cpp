#include "picture/BmpFile.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kPixelsPerMetreAt72Dpi = 2835;
constexpr std::int32_t kLargestSide = 1 << 15;

// Rows are padded to whole 32-bit words.
std::size_t rowSize(std::size_t width) { return (width * 3 + 3) / 4 * 4; }

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::uint32_t littleEndian(const unsigned char* at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | at[i];
    return value;
}

}  // namespace

std::vector<unsigned char> encodeBmp(const RgbPicture& picture) {
    const auto width = static_cast<std::uint32_t>(picture.width());
    const auto height = static_cast<std::uint32_t>(picture.height());
    const auto stride = static_cast<std::uint32_t>(rowSize(width));
    const std::uint32_t pixelBytes = stride * height;
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

    for (int y = picture.height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb colour = picture.pixel(x, y);
            bytes.push_back(colour.blue);
            bytes.push_back(colour.green);
            bytes.push_back(colour.red);
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad) bytes.push_back(0);
    }
    return bytes;
}

std::optional<RgbPicture> decodeBmp(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint32_t pixelStart = littleEndian(bytes + 10, 4);
    const unsigned char* info = bytes + kFileHeaderSize;
    const auto width = static_cast<std::int32_t>(littleEndian(info + 4, 4));
    const auto signedHeight = static_cast<std::int32_t>(littleEndian(info + 8, 4));
    const std::uint32_t bitsPerPixel = littleEndian(info + 14, 2);
    const std::uint32_t compression = littleEndian(info + 16, 4);
    if (bitsPerPixel != kBitsPerPixel || compression != 0) return std::nullopt;
    const bool topDown = signedHeight < 0;
    const std::int32_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return std::nullopt;
    const std::size_t stride = rowSize(static_cast<std::size_t>(width));
    if (pixelStart > size || (size - pixelStart) / stride < static_cast<std::size_t>(height)) return std::nullopt;

    RgbPicture picture(width, height);
    for (std::int32_t row = 0; row < height; ++row) {
        const unsigned char* line = bytes + pixelStart + static_cast<std::size_t>(row) * stride;
        const std::int32_t y = topDown ? row : height - 1 - row;
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* bgr = line + static_cast<std::size_t>(x) * 3;
            picture.setPixel(x, y, {bgr[2], bgr[1], bgr[0]});
        }
    }
    return picture;
}
