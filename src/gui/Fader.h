#pragma once

#include "gui/ValueControl.h"

// A vertical slider: a handle bitmap moving over a slice of the background, composed off screen
// so the handle does not flicker while dragged.
class Fader : public ValueControl {
public:
    // Style bits. Placement by value puts 0.0 at the top when drawing (otherwise 1.0 is at the top);
    // inverted dragging takes 1 - the pointer's fraction of the travel as the value.
    static constexpr std::uint32_t placeByValue = 0x20;
    static constexpr std::uint32_t invertedDrag = 0x40;

    // `minPosition` and `maxPosition` are the frame y coordinates of the handle's travel.
    Fader(const PixelRect& bounds, ValueListener* listener, std::int32_t tag, std::int32_t minPosition,
          std::int32_t maxPosition, SkinBitmap* handle, SkinBitmap* background, PixelPoint backgroundOffset,
          std::uint32_t style);
    ~Fader() override;

    void draw(PaintContext& context) override;
    void onMouseDown(PaintContext& context, const MousePress& press) override;
    bool onWheel(PaintContext& context, PixelPoint point, float distance) override;

    virtual void setTransparentHandle(bool on) { transparentHandle = on; }
    virtual void setFreeClick(bool on) { freeClick = on; }
    virtual bool getFreeClick() const { return freeClick; }
    virtual void setHandleOffset(PixelPoint offset) { handleOffset = offset; }
    virtual void setHandle(SkinBitmap* bitmap);
    virtual SkinBitmap* getHandle() const { return handle; }
    virtual void setFineFactor(float factor) { fineFactor = factor; }
    virtual float getFineFactor() const { return fineFactor; }

    // Frame y of the handle's top at the last draw.
    std::int32_t handleTop() const { return lastHandleTop; }

private:
    // The handle's top within the fader for the current value.
    std::int32_t handleTopInFader() const;

    PixelPoint backgroundOffset;
    PixelPoint handleOffset;
    SkinBitmap* handle = nullptr;
    std::int32_t handleWidth = 1;
    std::int32_t handleHeight = 1;
    std::int32_t minPosition;
    std::int32_t maxPosition;
    std::uint32_t style;
    std::int32_t lastHandleTop;
    float fineFactor = 10.0f;
    bool transparentHandle = true;
    bool freeClick = true;
};
