#pragma once

#include "gui/OffscreenSurface.h"

#include <windows.h>

// Draws with GDI on a window's device context (borrowed from a paint, or fetched and released by
// the context itself) or, as an offscreen surface, on a memory bitmap of its own. Deletes only the
// pens and brushes it made, and puts back what the device context had selected.
class Win32PaintContext final : public OffscreenSurface {
public:
    enum class DcOwnership { borrowed, releaseToWindow };

    // A context on `dc` of `window`; with releaseToWindow the context gives the dc back to the window.
    Win32PaintContext(HDC dc, HWND window, DcOwnership ownership);
    // An offscreen surface compatible with `reference`, or one whose `valid` is false.
    Win32PaintContext(HDC reference, std::int32_t width, std::int32_t height, Colour background);
    ~Win32PaintContext() override;

    bool valid() const { return dc != nullptr; }

    void drawFrameRect(const PixelRect& r) override;
    void fillRect(const PixelRect& r) override;
    void blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) override;
    std::unique_ptr<OffscreenSurface> makeOffscreen(std::int32_t width, std::int32_t height,
                                                    Colour background) override;
    MouseButtons mouseButtons() override;
    PixelPoint mouseLocation() override;
    void copyTo(PaintContext& target, const PixelRect& dest, PixelPoint source) override;

    // The live state of the mouse buttons, with left and right as the user set them, and of the keys.
    static MouseButtons liveButtons();

protected:
    void penChanged() override;
    void brushChanged() override;
    void fontColourChanged() override;

private:
    void takeOverDc();

    HDC dc = nullptr;
    HWND window = nullptr;
    DcOwnership ownership = DcOwnership::borrowed;
    HBITMAP surfaceBitmap = nullptr;
    HGDIOBJ surfacePrevious = nullptr;
    PixelPoint origin;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HGDIOBJ savedPen = nullptr;
    HGDIOBJ savedBrush = nullptr;
};
