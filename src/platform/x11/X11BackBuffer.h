#pragma once

#include "platform/software/RgbImage.h"

#include <X11/Xlib.h>

#include <vector>

class X11Connection;

// The panel's pixels as the software canvas draws them, and their copy in the server's pixel
// format: what the window shows is by construction the software platform's picture.
class X11BackBuffer {
public:
    X11BackBuffer(Display* display, std::int32_t width, std::int32_t height);
    ~X11BackBuffer();
    X11BackBuffer(const X11BackBuffer&) = delete;
    X11BackBuffer& operator=(const X11BackBuffer&) = delete;

    RgbImage& pixels() { return picture; }
    // Puts the whole picture into the connection's window (errors are the caller's to trap).
    void putInto(const X11Connection& connection);

private:
    RgbImage picture;
    std::vector<char> serverBytes;
    XImage* image;
};
