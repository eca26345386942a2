#include "gui/ToggleButton.h"

#include "gui/SkinBitmap.h"

#include <cmath>

ToggleButton::ToggleButton(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, SkinBitmap* background)
    : ValueControl(bounds, listener, tag, background) {}

void ToggleButton::draw(PaintContext& context) {
    const SkinBitmap* background = getBackground();
    const bool lit = drawableValue() != 0.0f && background;
    drawBackground(context, {0, lit ? background->height() / 2 : 0});
    setDirty(false);
}

void ToggleButton::onMouseDown(PaintContext& context, const MousePress& press) {
    if (!isMouseEnabled() || !(press.buttons & kLeftButton)) return;
    // A value whose integer part is not 0 counts as on (so 0.7 turns on); decided in float, where
    // NaN, infinities and huge values have no undefined conversion.
    value = std::fabs(value) >= 1.0f ? 0.0f : 1.0f;
    draw(context);
    notify(context);
}
