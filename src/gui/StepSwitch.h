#pragma once

#include "gui/ValueControl.h"

// A vertical switch of `positions` stops; its background stacks one image per stop, below `imageOffset`.
class StepSwitch : public ValueControl {
public:
    StepSwitch(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, std::int32_t imageHeight,
               std::int32_t positions, SkinBitmap* background, PixelPoint imageOffset);

    void draw(PaintContext& context) override;
    void onMouseDown(PaintContext& context, const MousePress& press) override;

    // The stop whose image shows the current value.
    std::int32_t shownImage() const;
    // The value a press `offset` pixels below the top selects.
    float valueAtOffset(std::int32_t offset) const;

private:
    PixelPoint imageOffset;
    std::int32_t imageHeight;
    std::int32_t positions;
};
