#include "platform/x11/X11PaintContext.h"

#include "platform/x11/X11Window.h"

X11PaintContext::X11PaintContext(X11Window& target, RgbImage& backBuffer)
    : window(target), pointer(target), canvas(backBuffer, pointer, {0, 0}) {}

X11PaintContext::~X11PaintContext() { window.presentDrawing(); }

void X11PaintContext::drawFrameRect(const PixelRect& r) {
    canvas.drawFrameRect(r);
    window.markDrawn();
}

void X11PaintContext::fillRect(const PixelRect& r) {
    canvas.fillRect(r);
    window.markDrawn();
}

void X11PaintContext::blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) {
    canvas.blit(image, dest, source, colourKeyed);
    window.markDrawn();
}

std::unique_ptr<OffscreenSurface> X11PaintContext::makeOffscreen(std::int32_t width, std::int32_t height,
                                                                 Colour background) {
    return canvas.makeOffscreen(width, height, background);
}

MouseButtons X11PaintContext::mouseButtons() { return canvas.mouseButtons(); }

PixelPoint X11PaintContext::mouseLocation() { return canvas.mouseLocation(); }

MouseButtons X11PaintContext::LivePointer::heldButtons() { return window.pointerButtons(); }

PixelPoint X11PaintContext::LivePointer::readCursor() { return window.cursorPosition(); }

void X11PaintContext::penChanged() {
    canvas.setFrameColour(frameColour());
    canvas.setLineStyle(dottedLines() ? dotted : solid);
}

void X11PaintContext::brushChanged() { canvas.setFillColour(fillColour()); }
