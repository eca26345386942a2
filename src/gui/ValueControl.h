#pragma once

#include "gui/Widget.h"

#include <cstdint>
#include <functional>

class SkinBitmap;
class ValueListener;

// A widget with a float value, a range, a default and a tag, reporting every change to its listener.
// Hosts store values unclamped, so the value may be anything, NaN included.
class ValueControl : public Widget {
public:
    ValueControl(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, SkinBitmap* background);

    bool isDirty() const override;
    void setDirty(bool dirty) override;

    virtual void pumpIdle();
    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    virtual void setMin(float minimum) { lowest = minimum; }
    virtual float getMin() const { return lowest; }
    virtual void setMax(float maximum) { highest = maximum; }
    virtual float getMax() const { return highest; }
    virtual void setShownValue(float shown) { shownValue = shown; }
    virtual float getShownValue() const { return shownValue; }
    virtual void setDefaultValue(float fallback) { defaultValue = fallback; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(std::int32_t newTag) { tagNumber = newTag; }
    virtual void setBackground(SkinBitmap* bitmap);
    virtual SkinBitmap* getBackground() const { return backgroundBitmap; }
    virtual void setWheelStep(float step) { wheelStep = step; }
    virtual float getWheelStep() const { return wheelStep; }
    // Brings the value into [min, max]; NaN becomes the minimum.
    virtual void clampValue();

    std::int32_t tag() const { return tagNumber; }

    ~ValueControl() override;

protected:
    void notify(PaintContext& context);
    void notifyIfDirty(PaintContext& context);
    // Control plus left button alone: the default value, reported if it changed.
    void resetToDefault(PaintContext& context);
    // The value as drawing understands it: within [0, 1], NaN as 0.
    float drawableValue() const;
    // Draws the background from `source` into the bounds, colour-keyed when the widget is transparent.
    void drawBackground(PaintContext& context, PixelPoint source) const;

    // A drag: `step` acts on each pointer sample, from the press onward, and answers whether to go on.
    // Between steps the pointer is read live and pending paints and host idle are served.
    void trackPointer(PaintContext& context, const MousePress& press,
                      const std::function<bool(PixelPoint, MouseButtons)>& step);
    void beginEdit();
    void endEdit();

    float value = 0.0f;

private:
    ValueListener* changeListener;
    std::int32_t tagNumber;
    float shownValue = 1.0f;
    float defaultValue = 0.5f;
    float lowest = 0.0f;
    float highest = 1.0f;
    float wheelStep = 0.1f;
    SkinBitmap* backgroundBitmap = nullptr;
};
