#include "platform/x11/X11BackBuffer.h"

#include "platform/x11/X11Connection.h"

#include <X11/Xutil.h>

namespace {

// The channel value scaled into the visual's mask for it (8 bits wide on the usual TrueColor).
unsigned long channelBits(std::uint8_t value, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) ++shift;
    const unsigned long range = mask >> shift;
    return ((value * range + 127) / 255) << shift;
}

}  // namespace

X11BackBuffer::X11BackBuffer(Display* display, std::int32_t width, std::int32_t height) : picture(width, height) {
    const int screen = DefaultScreen(display);
    image = XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                         ZPixmap, 0, nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    serverBytes.resize(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height));
    image->data = serverBytes.data();
}

X11BackBuffer::~X11BackBuffer() {
    if (!image) return;
    // The bytes belong to the vector, not to Xlib's allocator.
    image->data = nullptr;
    XDestroyImage(image);
}

void X11BackBuffer::putInto(const X11Connection& connection) {
    if (!image || !connection.window()) return;
    for (std::int32_t y = 0; y < picture.height(); ++y)
        for (std::int32_t x = 0; x < picture.width(); ++x) {
            const Colour colour = picture.pixel(x, y);
            XPutPixel(image, x, y,
                      channelBits(colour.red, image->red_mask) | channelBits(colour.green, image->green_mask) |
                          channelBits(colour.blue, image->blue_mask));
        }
    XPutImage(connection.display(), connection.window(), connection.graphics(), image, 0, 0, 0, 0,
              static_cast<unsigned>(picture.width()), static_cast<unsigned>(picture.height()));
}
