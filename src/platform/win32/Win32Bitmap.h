#pragma once

#include "gui/BitmapImage.h"
#include "gui/GuiGeometry.h"

#include <windows.h>

#include <memory>

// A resource bitmap of the module, drawn plainly or with white as the transparent colour.
class Win32Bitmap final : public BitmapImage {
public:
    // Null when the module has no such bitmap.
    static std::unique_ptr<Win32Bitmap> load(std::int32_t resourceNumber);
    ~Win32Bitmap() override;
    Win32Bitmap(const Win32Bitmap&) = delete;
    Win32Bitmap& operator=(const Win32Bitmap&) = delete;

    std::int32_t width() const override { return pixelWidth; }
    std::int32_t height() const override { return pixelHeight; }

    void drawTo(HDC target, const PixelRect& dest, PixelPoint source, bool colourKeyed) const;

private:
    Win32Bitmap(HBITMAP image, std::int32_t width, std::int32_t height);
    // The monochrome mask, 1 at the transparent pixels, made at the first keyed draw; false if it cannot be.
    bool haveMask(HDC target) const;
    void drawKeyed(HDC target, const PixelRect& dest, PixelPoint source) const;

    HBITMAP image;
    mutable HBITMAP mask = nullptr;
    std::int32_t pixelWidth;
    std::int32_t pixelHeight;
};
