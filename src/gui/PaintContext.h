#pragma once

#include "gui/GuiGeometry.h"

#include <memory>

class BitmapImage;
class OffscreenSurface;

// One drawing target for one paint, idle redraw or mouse gesture, and where widgets read the
// live pointer: which buttons and keys are down and where the cursor is, relative to the window.
class PaintContext {
public:
    PaintContext() = default;
    virtual ~PaintContext() = default;
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    // Outline with the frame colour; like any native line, each segment's end point is left out.
    virtual void drawFrameRect(const PixelRect& r) = 0;
    // Fills (left + 1, top + 1) up to but excluding (right, bottom): the outline owns the top row and left column.
    virtual void fillRect(const PixelRect& r) = 0;
    // Copies `dest`'s size from `source` of the image to `dest`; colour-keyed pixels keep the destination.
    // The caller has clipped the block to the image.
    virtual void blit(const BitmapImage& image, const PixelRect& dest, PixelPoint source, bool colourKeyed) = 0;
    // A memory surface compatible with this one, filled with `background`; null when it cannot be made.
    virtual std::unique_ptr<OffscreenSurface> makeOffscreen(std::int32_t width, std::int32_t height,
                                                            Colour background) = 0;
    virtual MouseButtons mouseButtons() = 0;
    virtual PixelPoint mouseLocation() = 0;

    void setLineStyle(std::int32_t style);
    void setFrameColour(Colour colour);
    void setFillColour(Colour colour);
    void setFontColour(Colour colour);

    Colour frameColour() const { return lineColour; }
    Colour fillColour() const { return areaColour; }
    Colour fontColour() const { return textColour; }
    bool dottedLines() const { return lineStyle == dotted; }

    static constexpr std::int32_t solid = 0;
    static constexpr std::int32_t dotted = 1;

protected:
    // Called after the stored settings changed, so the platform can remake its pen or brush.
    virtual void penChanged() {}
    virtual void brushChanged() {}
    virtual void fontColourChanged() {}

private:
    Colour textColour = kWhite;
    Colour lineColour = kWhite;
    Colour areaColour = kBlack;
    std::int32_t lineStyle = solid;
};
