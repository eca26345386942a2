#pragma once

#include <cstdint>

// A picture as the platform keeps it; the platform's drawing surfaces know how to copy from it.
class BitmapImage {
public:
    virtual ~BitmapImage() = default;
    virtual std::int32_t width() const = 0;
    virtual std::int32_t height() const = 0;
};
