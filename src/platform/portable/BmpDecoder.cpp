#include "platform/portable/BmpDecoder.h"

#include <cstdint>

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::int32_t largestSide = 1 << 15;

std::uint32_t littleEndian(const unsigned char* at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | at[i];
    return value;
}

}  // namespace

std::unique_ptr<RgbImage> decodeBmp(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < fileHeaderSize + infoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
    const std::uint32_t pixelStart = littleEndian(bytes + 10, 4);
    const unsigned char* info = bytes + fileHeaderSize;
    const auto width = static_cast<std::int32_t>(littleEndian(info + 4, 4));
    const auto signedHeight = static_cast<std::int32_t>(littleEndian(info + 8, 4));
    const std::uint32_t bitsPerPixel = littleEndian(info + 14, 2);
    const std::uint32_t compression = littleEndian(info + 16, 4);
    if (bitsPerPixel != 24 || compression != 0) return nullptr;
    const bool topDown = signedHeight < 0;
    const std::int32_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || height <= 0 || width > largestSide || height > largestSide) return nullptr;
    // Rows are padded to whole 32-bit words.
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (pixelStart > size || (size - pixelStart) / stride < static_cast<std::size_t>(height)) return nullptr;

    auto image = std::make_unique<RgbImage>(width, height);
    for (std::int32_t row = 0; row < height; ++row) {
        const unsigned char* line = bytes + pixelStart + static_cast<std::size_t>(row) * stride;
        const std::int32_t y = topDown ? row : height - 1 - row;
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* bgr = line + static_cast<std::size_t>(x) * 3;
            image->setPixel(x, y, {bgr[2], bgr[1], bgr[0], 0});
        }
    }
    return image;
}
