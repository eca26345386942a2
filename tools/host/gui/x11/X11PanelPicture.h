#pragma once

#include <X11/Xlib.h>

#include "picture/RgbPicture.h"

#include <string>

// The pixels of a window as the server holds them, read back with XGetImage, in the picture the
// software platform keeps too.
class X11PanelPicture {
public:
    static X11PanelPicture of(Display* display, ::Window window);

    int width() const { return rgb.width(); }
    int height() const { return rgb.height(); }
    bool empty() const { return rgb.width() == 0 || rgb.height() == 0; }
    const RgbPicture& pixels() const { return rgb; }
    // Binary PPM, for a person or `convert` to look at.
    bool writePpm(const std::string& path) const;

private:
    RgbPicture rgb{0, 0};
};
