#pragma once

#include <cstddef>
#include <cstdint>

#include "PanelBitmaps.h"
#include "SkinColours.h"
#include "picture/BmpFile.h"

// The header fields of a whole .bmp file held in memory, as the panel's bitmaps are stored, and
// its pixels as the decoder reads them, row 0 at the top.
class BmpView {
public:
    explicit BmpView(EmbeddedBitmap bitmap)
        : bytes_(bitmap.bytes),
          size_(bitmap.size),
          picture_(decodeBmp(bitmap.bytes, bitmap.size).value_or(RgbPicture(0, 0))) {}

    bool hasSignature() const { return size_ >= kHeadersSize && bytes_[0] == 'B' && bytes_[1] == 'M'; }
    std::uint32_t fileSizeField() const { return field(2, 4); }
    std::uint32_t pixelOffset() const { return field(10, 4); }
    std::uint32_t infoHeaderSize() const { return field(14, 4); }
    int width() const { return static_cast<std::int32_t>(field(18, 4)); }
    // Positive for rows stored bottom-up.
    int height() const { return static_cast<std::int32_t>(field(22, 4)); }
    std::uint32_t planes() const { return field(26, 2); }
    std::uint32_t bitsPerPixel() const { return field(28, 2); }
    std::uint32_t compression() const { return field(30, 4); }
    std::size_t rowSize() const { return (static_cast<std::size_t>(width()) * 3 + 3) / 4 * 4; }
    std::size_t size() const { return size_; }
    const unsigned char* pixelBytes() const { return bytes_ + pixelOffset(); }

    SkinRgb pixel(int x, int y) const {
        const Rgb colour = picture_.pixel(x, y);
        return {colour.red, colour.green, colour.blue};
    }

    // Whether the colour appears anywhere in rows [fromY, toY).
    bool containsInRows(SkinRgb colour, int fromY, int toY) const {
        for (int y = fromY; y < toY; ++y) {
            for (int x = 0; x < width(); ++x) {
                if (pixel(x, y) == colour) return true;
            }
        }
        return false;
    }

    static constexpr std::size_t kHeadersSize = 54;

private:
    std::uint32_t field(std::size_t offset, int byteCount) const {
        std::uint32_t value = 0;
        for (int i = byteCount - 1; i >= 0; --i) value = value << 8 | bytes_[offset + i];
        return value;
    }

    const unsigned char* bytes_;
    std::size_t size_;
    RgbPicture picture_;
};
