#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

// The pixels of a window as the server holds them, read back with XGetImage: three bytes per
// pixel in red, green, blue order, rows from the top, as the software platform keeps its pictures.
class X11PanelPicture {
public:
    static X11PanelPicture of(Display* display, ::Window window);

    int width() const { return columns; }
    int height() const { return rows; }
    bool empty() const { return rgb.empty(); }
    const std::vector<std::uint8_t>& bytes() const { return rgb; }
    // Binary PPM, for a person or `convert` to look at.
    bool writePpm(const std::string& path) const;

private:
    int columns = 0;
    int rows = 0;
    std::vector<std::uint8_t> rgb;
};
