#include "gui/PaintContext.h"

void PaintContext::setLineStyle(std::int32_t style) {
    lineStyle = style == dotted ? dotted : solid;
    penChanged();
}

void PaintContext::setFrameColour(Colour colour) {
    lineColour = colour;
    penChanged();
}

void PaintContext::setFillColour(Colour colour) {
    areaColour = colour;
    brushChanged();
}

void PaintContext::setFontColour(Colour colour) {
    textColour = colour;
    fontColourChanged();
}
