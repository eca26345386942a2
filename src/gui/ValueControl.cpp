#include "gui/ValueControl.h"

#include "gui/EditorFrame.h"
#include "gui/PaintContext.h"
#include "gui/SkinBitmap.h"
#include "gui/ValueListener.h"

#include <cmath>

namespace {
// A NaN value equals a NaN shown value, so a NaN from the host does not redraw on every idle.
bool sameValue(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }
}  // namespace

ValueControl::ValueControl(const PixelRect& bounds, ValueListener* valueListener, std::int32_t tag,
                           SkinBitmap* background)
    : Widget(bounds), changeListener(valueListener), tagNumber(tag) {
    setBackground(background);
}

ValueControl::~ValueControl() { setBackground(nullptr); }

bool ValueControl::isDirty() const { return !sameValue(value, shownValue) || Widget::isDirty(); }

void ValueControl::setDirty(bool dirty) {
    Widget::setDirty(dirty);
    if (dirty)
        shownValue = value == -1.0f ? 0.0f : -1.0f;
    else
        shownValue = value;
}

void ValueControl::pumpIdle() {
    if (EditorFrame* owner = frame()) owner->pumpMessages();
}

void ValueControl::setBackground(SkinBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (backgroundBitmap) backgroundBitmap->release();
    backgroundBitmap = bitmap;
}

void ValueControl::clampValue() {
    if (std::isnan(value))
        value = lowest;
    else if (value > highest)
        value = highest;
    else if (value < lowest)
        value = lowest;
}

void ValueControl::notify(PaintContext& context) {
    if (changeListener) changeListener->onValueChanged(context, *this);
}

void ValueControl::notifyIfDirty(PaintContext& context) {
    if (isDirty()) notify(context);
}

void ValueControl::resetToDefault(PaintContext& context) {
    value = defaultValue;
    notifyIfDirty(context);
}

float ValueControl::drawableValue() const {
    if (std::isnan(value) || value < 0.0f) return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

void ValueControl::drawBackground(PaintContext& context, PixelPoint source) const {
    if (!backgroundBitmap) return;
    if (isTransparent())
        backgroundBitmap->drawTransparent(context, bounds(), source);
    else
        backgroundBitmap->draw(context, bounds(), source);
}

void ValueControl::trackPointer(PaintContext& context, const MousePress& press,
                                const std::function<bool(PixelPoint, MouseButtons)>& step) {
    PixelPoint point = press.point;
    MouseButtons buttons = press.buttons;
    while (step(point, buttons)) {
        point = context.mouseLocation();
        pumpIdle();
        buttons = context.mouseButtons();
    }
}

void ValueControl::beginEdit() {
    if (EditorFrame* owner = frame()) owner->beginEdit(tagNumber);
}

void ValueControl::endEdit() {
    if (EditorFrame* owner = frame()) owner->endEdit(tagNumber);
}
