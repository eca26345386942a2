#include "gui/StepSwitch.h"

StepSwitch::StepSwitch(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, std::int32_t height,
                       std::int32_t stops, SkinBitmap* background, PixelPoint offset)
    : ValueControl(bounds, listener, tag, background),
      imageOffset(offset),
      imageHeight(height),
      positions(stops < 2 ? 2 : stops) {
    setDefaultValue(0.0f);
}

// Thresholds in double precision: the float values 0.2, 0.4, 0.6 and 0.8 lie just above the exact
// fractions, so each value a click produces selects its own image.
std::int32_t StepSwitch::shownImage() const {
    const double shown = drawableValue();
    const double stepWidth = 1.0 / (positions - 1);
    for (std::int32_t i = 1; i < positions; ++i)
        if (shown < i * stepWidth) return i - 1;
    return positions - 1;
}

float StepSwitch::valueAtOffset(std::int32_t offset) const {
    const double stepHeight = static_cast<double>(imageHeight) / positions;
    for (std::int32_t i = 1; i < positions; ++i)
        if (offset < static_cast<std::int32_t>(i * stepHeight))
            return static_cast<float>(i - 1) / static_cast<float>(positions - 1);
    return 1.0f;
}

void StepSwitch::draw(PaintContext& context) {
    drawBackground(context, {imageOffset.x, imageOffset.y + shownImage() * imageHeight});
    setDirty(false);
}

void StepSwitch::onMouseDown(PaintContext& context, const MousePress& press) {
    if (!isMouseEnabled() || !(press.buttons & kLeftButton)) return;
    if (press.buttons == kResetClick) {
        resetToDefault(context);
        return;
    }
    beginEdit();
    // Any change of buttons or keys, Shift included, ends the drag.
    trackPointer(context, press, [&](PixelPoint point, MouseButtons buttons) {
        if (buttons != press.buttons) return false;
        value = valueAtOffset(point.y - bounds().top);
        notifyIfDirty(context);
        return true;
    });
    endEdit();
}
