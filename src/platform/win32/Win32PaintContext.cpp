#include "platform/win32/Win32PaintContext.h"

#include "platform/win32/Win32Bitmap.h"

namespace {

COLORREF nativeColour(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

bool keyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

Win32PaintContext::Win32PaintContext(HDC deviceContext, HWND ownerWindow, DcOwnership dcOwnership)
    : dc(deviceContext), window(ownerWindow), ownership(dcOwnership) {
    RECT place{};
    if (window && GetWindowRect(window, &place)) origin = {place.left, place.top};
    takeOverDc();
}

Win32PaintContext::Win32PaintContext(HDC reference, std::int32_t width, std::int32_t height, Colour background) {
    HDC memory = CreateCompatibleDC(reference);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(reference, width, height) : nullptr;
    HGDIOBJ previous = bitmap ? SelectObject(memory, bitmap) : nullptr;
    if (!previous || previous == HGDI_ERROR) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return;
    }
    dc = memory;
    surfaceBitmap = bitmap;
    surfacePrevious = previous;
    takeOverDc();
    setFillColour(background);
    setFrameColour(background);
    fillRect({0, 0, width, height});
    drawFrameRect({0, 0, width, height});
}

void Win32PaintContext::takeOverDc() {
    if (!dc) return;
    savedPen = GetCurrentObject(dc, OBJ_PEN);
    savedBrush = GetCurrentObject(dc, OBJ_BRUSH);
    SetBkMode(dc, TRANSPARENT);
    penChanged();
    brushChanged();
    fontColourChanged();
}

Win32PaintContext::~Win32PaintContext() {
    if (!dc) return;
    if (savedPen) SelectObject(dc, savedPen);
    if (savedBrush) SelectObject(dc, savedBrush);
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
    if (surfaceBitmap) {
        SelectObject(dc, surfacePrevious);
        DeleteObject(surfaceBitmap);
        DeleteDC(dc);
    } else if (ownership == DcOwnership::releaseToWindow) {
        ReleaseDC(window, dc);
    }
}

void Win32PaintContext::penChanged() {
    if (!dc) return;
    HPEN made = CreatePen(dottedLines() ? PS_DOT : PS_SOLID, 1, nativeColour(frameColour()));
    if (!made) return;
    SelectObject(dc, made);
    if (pen) DeleteObject(pen);
    pen = made;
}

void Win32PaintContext::brushChanged() {
    if (!dc) return;
    SetBkColor(dc, nativeColour(fillColour()));
    HBRUSH made = CreateSolidBrush(nativeColour(fillColour()));
    if (!made) return;
    SelectObject(dc, made);
    if (brush) DeleteObject(brush);
    brush = made;
}

void Win32PaintContext::fontColourChanged() {
    if (dc) SetTextColor(dc, nativeColour(fontColour()));
}

void Win32PaintContext::drawFrameRect(const PixelRect& r) {
    if (!dc) return;
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right, r.top);
    LineTo(dc, r.right, r.bottom);
    LineTo(dc, r.left, r.bottom);
    LineTo(dc, r.left, r.top);
}

void Win32PaintContext::fillRect(const PixelRect& r) {
    if (!dc || !brush) return;
    const RECT inside{r.left + 1, r.top + 1, r.right, r.bottom};
    FillRect(dc, &inside, brush);
}

void Win32PaintContext::blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) {
    auto* bitmap = dynamic_cast<const Win32Bitmap*>(&image);
    if (dc && bitmap) bitmap->drawTo(dc, dest, source, colourKeyed);
}

std::unique_ptr<OffscreenSurface> Win32PaintContext::makeOffscreen(std::int32_t width, std::int32_t height,
                                                                   Colour background) {
    if (!dc) return nullptr;
    auto surface = std::make_unique<Win32PaintContext>(dc, width, height, background);
    if (!surface->valid()) return nullptr;
    return surface;
}

void Win32PaintContext::copyTo(PaintContext& target, const PixelRect& dest, PixelPoint source) {
    auto* other = dynamic_cast<Win32PaintContext*>(&target);
    if (dc && other && other->dc)
        BitBlt(other->dc, dest.left, dest.top, dest.width(), dest.height(), dc, source.x, source.y, SRCCOPY);
}

MouseButtons Win32PaintContext::liveButtons() {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    MouseButtons buttons = 0;
    if (keyDown(swapped ? VK_RBUTTON : VK_LBUTTON)) buttons |= kLeftButton;
    if (keyDown(VK_MBUTTON)) buttons |= kMiddleButton;
    if (keyDown(swapped ? VK_LBUTTON : VK_RBUTTON)) buttons |= kRightButton;
    if (keyDown(VK_SHIFT)) buttons |= kShiftKey;
    if (keyDown(VK_CONTROL)) buttons |= kControlKey;
    if (keyDown(VK_MENU)) buttons |= kAltKey;
    return buttons;
}

MouseButtons Win32PaintContext::mouseButtons() { return liveButtons(); }

PixelPoint Win32PaintContext::mouseLocation() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return {cursor.x - origin.x, cursor.y - origin.y};
}
