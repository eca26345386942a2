#include "gui/MomentaryButton.h"

MomentaryButton::MomentaryButton(const PixelRect& bounds, ValueListener* listener, std::int32_t tag,
                                 std::int32_t height, SkinBitmap* background, PixelPoint offset)
    : ValueControl(bounds, listener, tag, background), imageOffset(offset), imageHeight(height) {}

void MomentaryButton::draw(PaintContext& context) {
    clampValue();
    PixelPoint source = imageOffset;
    if (value != 0.0f) source.y += imageHeight;
    drawBackground(context, source);
    setDirty(false);
}

void MomentaryButton::onMouseDown(PaintContext& context, const MousePress& press) {
    if (!isMouseEnabled() || !(press.buttons & kLeftButton)) return;
    const float entry = value;
    beginEdit();
    // Held keys do not keep the button down: only a mouse button does.
    trackPointer(context, press, [&](PixelPoint point, MouseButtons buttons) {
        if (!(buttons & kAnyMouseButton)) return false;
        value = bounds().containsInclusive(point) ? (entry == 0.0f ? 1.0f : 0.0f) : entry;
        notifyIfDirty(context);
        return true;
    });
    endEdit();
    value = 0.0f;
    notify(context);
}
