#pragma once

#include "gui/ValueControl.h"

// A push button that is 1 while held over it: it reports 1.0 at the press and 0.0 at the release.
class MomentaryButton : public ValueControl {
public:
    MomentaryButton(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, std::int32_t imageHeight,
                    SkinBitmap* background, PixelPoint imageOffset);

    void draw(PaintContext& context) override;
    void onMouseDown(PaintContext& context, const MousePress& press) override;

private:
    PixelPoint imageOffset;
    std::int32_t imageHeight;
};
