#pragma once

#include "gui/ValueControl.h"

// An on/off LED: the background's upper half shows off, the lower half on. A click flips it.
class ToggleButton : public ValueControl {
public:
    ToggleButton(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, SkinBitmap* background);

    void draw(PaintContext& context) override;
    void onMouseDown(PaintContext& context, const MousePress& press) override;
};
