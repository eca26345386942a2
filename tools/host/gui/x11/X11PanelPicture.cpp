#include "X11PanelPicture.h"

#include <X11/Xutil.h>

#include <fstream>

namespace {

std::uint8_t channelOf(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) ++shift;
    const unsigned long range = mask >> shift;
    return static_cast<std::uint8_t>((((pixel & mask) >> shift) * 255 + range / 2) / range);
}

}  // namespace

X11PanelPicture X11PanelPicture::of(Display* display, ::Window window) {
    X11PanelPicture picture;
    XWindowAttributes attributes{};
    if (!window || !XGetWindowAttributes(display, window, &attributes)) return picture;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.rgb = RgbPicture(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.rgb.setPixel(x, y,
                                 {channelOf(pixel, image->red_mask), channelOf(pixel, image->green_mask),
                                  channelOf(pixel, image->blue_mask)});
        }
    XDestroyImage(image);
    return picture;
}

bool X11PanelPicture::writePpm(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << rgb.width() << ' ' << rgb.height() << "\n255\n";
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const Rgb colour = rgb.pixel(x, y);
            file.put(static_cast<char>(colour.red))
                .put(static_cast<char>(colour.green))
                .put(static_cast<char>(colour.blue));
        }
    return static_cast<bool>(file);
}
