#include "PanelPicture.h"

#include <fstream>

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
            const auto* source = static_cast<const std::uint32_t*>(bits);
            picture.columns = width;
            picture.rows = height;
            picture.pixels.assign(source, source + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        }
        SelectObject(memory, previous);
        DeleteObject(target);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

PanelPicture::Rgb PanelPicture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows) return {0, 0, 0};
    const std::uint32_t pixel =
        pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(x)];
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}

int PanelPicture::firstRowWith(int x, int top, int bottom, Rgb colour) const {
    for (int y = top; y <= bottom; ++y) {
        if (at(x, y) == colour) return y;
    }
    return -1;
}

bool PanelPicture::writeBmp(const std::string& path) const {
    const int rowBytes = (columns * 3 + 3) & ~3;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * rows);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = columns;
    header.biHeight = rows;  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageBytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::vector<char> row(static_cast<std::size_t>(rowBytes), 0);
    for (int y = rows - 1; y >= 0; --y) {
        for (int x = 0; x < columns; ++x) {
            const Rgb pixel = at(x, y);
            row[static_cast<std::size_t>(x * 3)] = static_cast<char>(pixel.blue);
            row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>(pixel.green);
            row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>(pixel.red);
        }
        out.write(row.data(), rowBytes);
    }
    return static_cast<bool>(out);
}
