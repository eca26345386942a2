#pragma once

#include "gui/GuiGeometry.h"

#include <cstdint>

class EditorFrame;
class PaintContext;

// Anything the frame shows: a rectangle that draws itself, takes a press and knows whether it
// needs redrawing. Shared by reference counting; the creator holds the first reference.
class Widget {
public:
    explicit Widget(const PixelRect& bounds);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual void draw(PaintContext& context);
    virtual void onMouseDown(PaintContext& context, const MousePress& press);
    virtual void redrawIfDirty(PaintContext& context);
    // Kind 0: a list of file names; 1: text. Answers whether the drop was taken.
    virtual bool onDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point);
    virtual bool onWheel(PaintContext& context, PixelPoint point, float distance);
    virtual bool isDirty() const;
    virtual void setDirty(bool dirty);
    virtual void setMouseEnabled(bool enabled) { mouseEnabled = enabled; }
    virtual bool isMouseEnabled() const { return mouseEnabled; }
    virtual void setMouseArea(const PixelRect& area) { mouseArea = area; }
    virtual PixelRect getMouseArea() const { return mouseArea; }
    virtual void setTransparent(bool on) { transparent = on; }
    virtual bool isTransparent() const { return transparent; }
    virtual void setBounds(const PixelRect& bounds);
    virtual void setFrame(EditorFrame* owner) { attachedFrame = owner; }
    virtual bool onRemoved(EditorFrame*) { return true; }
    virtual bool onAttached(EditorFrame*) { return true; }
    // At 0 the widget is gone; a count already at 0 is left alone.
    void release();
    void retain() { ++references; }
    std::int32_t refCount() const { return references; }

    const PixelRect& bounds() const { return boundsRect; }
    EditorFrame* frame() const { return attachedFrame; }

    // Widgets alive in the module, for leak checks.
    static std::int32_t liveCount();

    // Widgets are shared: only `release` and the owner of a frame delete them.
    virtual ~Widget();

private:
    std::int32_t references = 1;
    PixelRect boundsRect;
    PixelRect mouseArea;
    EditorFrame* attachedFrame = nullptr;
    bool dirtyFlag = true;
    bool mouseEnabled = true;
    bool transparent = false;
};
