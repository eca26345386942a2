#pragma once

#include "gui/GuiGeometry.h"

// Where a software-drawn surface reads the mouse: a test's scripted pointer, or a window system's
// live one. The renderer draws the same either way.
class PointerSource {
public:
    virtual MouseButtons heldButtons() = 0;
    // Screen coordinates; reading may move a script on to its next sample.
    virtual PixelPoint readCursor() = 0;

protected:
    ~PointerSource() = default;
};
