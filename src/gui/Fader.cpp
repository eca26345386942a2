#include "gui/Fader.h"

#include "gui/OffscreenSurface.h"
#include "gui/SkinBitmap.h"

Fader::Fader(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, std::int32_t minimumPosition,
             std::int32_t maximumPosition, SkinBitmap* handleBitmap, SkinBitmap* background,
             PixelPoint offsetOfBackground, std::uint32_t faderStyle)
    : ValueControl(bounds, listener, tag, background),
      backgroundOffset(offsetOfBackground),
      minPosition(minimumPosition),
      maxPosition(maximumPosition),
      style(faderStyle),
      lastHandleTop(maximumPosition) {
    setHandle(handleBitmap);
}

Fader::~Fader() { setHandle(nullptr); }

void Fader::setHandle(SkinBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (handle) handle->release();
    handle = bitmap;
    handleWidth = handle ? handle->width() : 1;
    handleHeight = handle ? handle->height() : 1;
}

std::int32_t Fader::handleTopInFader() const {
    const float fraction = (style & placeByValue) ? drawableValue() : 1.0f - drawableValue();
    const std::int32_t minTop = minPosition - bounds().top;
    const std::int32_t maxBottom = maxPosition - bounds().top + handleHeight;
    std::int32_t top =
        static_cast<std::int32_t>(static_cast<float>(maxPosition - minPosition) * fraction) + handleOffset.y;
    if (top < minTop) top = minTop;
    if (top + handleHeight > maxBottom) top = maxBottom - handleHeight;
    return top;
}

void Fader::draw(PaintContext& context) {
    const std::int32_t width = bounds().width();
    const std::int32_t height = bounds().height();
    const std::int32_t top = handleTopInFader();
    if (auto surface = context.makeOffscreen(width, height, kBlack)) {
        if (SkinBitmap* background = getBackground()) {
            const PixelRect whole{0, 0, width, height};
            if (isTransparent())
                background->drawTransparent(*surface, whole, backgroundOffset);
            else
                background->draw(*surface, whole, backgroundOffset);
        }
        if (handle) {
            const PixelRect place{handleOffset.x, top, handleOffset.x + handleWidth, top + handleHeight};
            if (transparentHandle)
                handle->drawTransparent(*surface, place, {0, 0});
            else
                handle->draw(*surface, place, {0, 0});
        }
        surface->copyTo(context, bounds(), {0, 0});
    }
    lastHandleTop = bounds().top + top;
    setDirty(false);
}

void Fader::onMouseDown(PaintContext& context, const MousePress& press) {
    if (!isMouseEnabled()) return;
    if (press.buttons == kResetClick) {
        resetToDefault(context);
        return;
    }
    if (!(press.buttons & kLeftButton)) return;
    std::int32_t grip = minPosition + handleHeight / 2 - 1;
    if (!freeClick) {
        const PixelRect handleArea{bounds().left, lastHandleTop, bounds().left + handleWidth,
                                   lastHandleTop + handleHeight};
        if (!handleArea.containsInclusive(press.point)) return;
        grip = minPosition + (press.point.y - lastHandleTop);
    }
    const float range = static_cast<float>(maxPosition - minPosition);
    float anchor = value;
    MouseButtons lastButtons = press.buttons;
    beginEdit();
    trackPointer(context, press, [&](PixelPoint point, MouseButtons buttons) {
        if (!(buttons & kLeftButton)) return false;
        // Shift going down starts a fine drag from where the value stands.
        if (buttons != lastButtons && (buttons & kShiftKey)) {
            anchor = value;
            lastButtons = buttons;
        } else if (!(buttons & kShiftKey)) {
            anchor = value;
        }
        float target = range != 0.0f ? static_cast<float>(point.y - grip) / range : 0.0f;
        if (style & invertedDrag) target = 1.0f - target;
        if (buttons & kShiftKey) target = anchor + (target - anchor) / fineFactor;
        value = target;
        clampValue();
        notifyIfDirty(context);
        return true;
    });
    endEdit();
}

bool Fader::onWheel(PaintContext& context, PixelPoint, float distance) {
    if (!isMouseEnabled()) return false;
    float step = distance * getWheelStep();
    if (context.mouseButtons() & kShiftKey) step *= 0.1f;
    value += step;
    clampValue();
    notifyIfDirty(context);
    return true;
}
