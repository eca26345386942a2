#pragma once

#include "gui/PaintContext.h"

// A memory surface of its own: a widget composes into it and copies the result out in one block.
class OffscreenSurface : public PaintContext {
public:
    // Copies the block of `dest`'s size at `source` of this surface to `dest` of `target`.
    virtual void copyTo(PaintContext& target, const PixelRect& dest, PixelPoint source) = 0;
};
