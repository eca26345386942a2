#include "platform/win32/Win32Bitmap.h"

#include "platform/win32/MemoryDc.h"
#include "platform/win32/ModuleInstance.h"

#include <initializer_list>

namespace {
// Destination AND NOT source: clears the image wherever the mask marks a transparent pixel.
constexpr DWORD clearWhereMasked = 0x00220326;
}  // namespace

std::unique_ptr<Win32Bitmap> Win32Bitmap::load(std::int32_t resourceNumber) {
    HBITMAP image = LoadBitmapA(moduleInstance(), MAKEINTRESOURCEA(resourceNumber & 0xFFFF));
    if (!image) return nullptr;
    BITMAP description{};
    if (!GetObjectA(image, sizeof description, &description)) {
        DeleteObject(image);
        return nullptr;
    }
    return std::unique_ptr<Win32Bitmap>(new Win32Bitmap(image, description.bmWidth, description.bmHeight));
}

Win32Bitmap::Win32Bitmap(HBITMAP bitmap, std::int32_t width, std::int32_t height)
    : image(bitmap), pixelWidth(width), pixelHeight(height) {}

Win32Bitmap::~Win32Bitmap() {
    if (mask) DeleteObject(mask);
    DeleteObject(image);
}

void Win32Bitmap::drawTo(HDC target, const PixelRect& dest, PixelPoint source, bool colourKeyed) const {
    if (colourKeyed) {
        drawKeyed(target, dest, source);
        return;
    }
    MemoryDc picture(target, image, false);
    if (picture.valid())
        BitBlt(target, dest.left, dest.top, dest.width(), dest.height(), picture.handle(), source.x, source.y, SRCCOPY);
}

// A colour-to-monochrome copy sets a mask pixel where the image pixel equals the source's background colour.
bool Win32Bitmap::haveMask(HDC target) const {
    if (mask) return true;
    HBITMAP built = CreateBitmap(pixelWidth, pixelHeight, 1, 1, nullptr);
    if (!built) return false;
    bool copied = false;
    {
        MemoryDc picture(target, image, false);
        MemoryDc monochrome(target, built, false);
        if (picture.valid() && monochrome.valid()) {
            const COLORREF previous = SetBkColor(picture.handle(), RGB(255, 255, 255));
            copied = BitBlt(monochrome.handle(), 0, 0, pixelWidth, pixelHeight, picture.handle(), 0, 0, SRCCOPY);
            SetBkColor(picture.handle(), previous);
        }
    }
    if (!copied) {
        DeleteObject(built);
        return false;
    }
    mask = built;
    return true;
}

// Composes off to the side so the shared image is never altered: a failure at any step leaves the
// destination and the image as they were.
void Win32Bitmap::drawKeyed(HDC target, const PixelRect& dest, PixelPoint source) const {
    if (!haveMask(target)) return;
    const int width = dest.width();
    const int height = dest.height();
    MemoryDc picture(target, image, false);
    MemoryDc stencil(target, mask, false);
    MemoryDc composition(target, CreateCompatibleBitmap(target, width, height), true);
    MemoryDc opaquePart(target, CreateCompatibleBitmap(target, width, height), true);
    if (!picture.valid() || !stencil.valid() || !composition.valid() || !opaquePart.valid()) return;
    // Monochrome sources expand to the destination's background colour for 1 and text colour for 0.
    for (HDC dc : {composition.handle(), opaquePart.handle()}) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
    }
    const bool composed =
        BitBlt(composition.handle(), 0, 0, width, height, target, dest.left, dest.top, SRCCOPY) &&
        BitBlt(composition.handle(), 0, 0, width, height, stencil.handle(), source.x, source.y, SRCAND) &&
        BitBlt(opaquePart.handle(), 0, 0, width, height, picture.handle(), source.x, source.y, SRCCOPY) &&
        BitBlt(opaquePart.handle(), 0, 0, width, height, stencil.handle(), source.x, source.y, clearWhereMasked) &&
        BitBlt(composition.handle(), 0, 0, width, height, opaquePart.handle(), 0, 0, SRCPAINT);
    if (composed) BitBlt(target, dest.left, dest.top, width, height, composition.handle(), 0, 0, SRCCOPY);
}
