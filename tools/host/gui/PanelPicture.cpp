#include "PanelPicture.h"

#include "picture/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <vector>

PanelPicture PanelPicture::of(HWND window) {
    PanelPicture picture;
    RECT area{};
    if (!window || !GetClientRect(window, &area)) return picture;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(window);
    if (!screen) return picture;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (target) {
        HGDIOBJ previous = SelectObject(memory, target);
        if (BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY)) {
            GdiFlush();
            // Each pixel is 0x00RRGGBB, top row first.
            const auto* source = static_cast<const std::uint32_t*>(bits);
            picture.pixels = RgbPicture(width, height);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t pixel = *source++;
                    picture.pixels.setPixel(x, y,
                                            {static_cast<std::uint8_t>(pixel >> 16),
                                             static_cast<std::uint8_t>(pixel >> 8), static_cast<std::uint8_t>(pixel)});
                }
            }
        }
        SelectObject(memory, previous);
        DeleteObject(target);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

int PanelPicture::firstRowWith(int x, int top, int bottom, Rgb colour) const {
    for (int y = top; y <= bottom; ++y) {
        if (at(x, y) == colour) return y;
    }
    return -1;
}

bool PanelPicture::writeBmp(const std::string& path) const {
    const std::vector<unsigned char> bytes = encodeBmp(pixels);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
