#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The pixels of a window as they are on the screen, read back through its device context.
class PanelPicture {
public:
    struct Rgb {
        std::uint8_t red, green, blue;
        bool operator==(const Rgb& other) const {
            return red == other.red && green == other.green && blue == other.blue;
        }
    };

    static PanelPicture of(HWND window);

    int width() const { return columns; }
    int height() const { return rows; }
    bool empty() const { return pixels.empty(); }
    Rgb at(int x, int y) const;
    // The first row from `top` downward in column `x` that has `colour`, or -1.
    int firstRowWith(int x, int top, int bottom, Rgb colour) const;
    // 24-bit uncompressed BMP, for pictures a person or `compare` looks at.
    bool writeBmp(const std::string& path) const;

private:
    int columns = 0;
    int rows = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};
