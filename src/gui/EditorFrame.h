#pragma once

#include "gui/NativeWindow.h"
#include "gui/Widget.h"

#include <memory>
#include <vector>

class FrameHost;
class GuiPlatform;
class SkinBitmap;

// The editor's panel: owns the native child window and the widgets in it. It draws them all on a
// paint, redraws the changed ones on idle and hands a press to the top-most widget under it.
class EditorFrame : public Widget, private WindowClient {
public:
    // Without a parent, or when the window cannot be made, the frame lives without a window.
    EditorFrame(GuiPlatform& platform, const PixelRect& bounds, void* parentWindow, FrameHost* editor);
    ~EditorFrame() override;
    // Destroys the window, waiting for a paint in progress on its thread; nothing reaches the frame
    // through it afterwards. The destructor does the same first.
    void closeWindow();

    void draw(PaintContext& context) override;
    void onMouseDown(PaintContext& context, const MousePress& press) override;
    void redrawIfDirty(PaintContext& context) override;
    bool onDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) override;
    // The context and point are not used: the wheel goes to the widget under the cursor.
    bool onWheel(PaintContext& context, PixelPoint point, float distance) override;
    bool wheelAtCursor(float distance);

    // The frame holds the widget's first reference from here on. False when the list cannot grow.
    virtual bool addWidget(Widget* widget);
    // Without release the widget lives on and may be added again.
    virtual bool removeWidget(Widget* widget, bool release);
    virtual bool removeAllWidgets(bool release);
    virtual bool contains(const Widget* widget) const;

    void idle();
    // Draws the widget if it is in the frame, otherwise the whole frame.
    void redraw(Widget* widget);
    void setBackground(SkinBitmap* bitmap);
    bool isAnythingDirty() const;
    void beginEdit(std::int32_t tag);
    void endEdit(std::int32_t tag);
    void pumpMessages();
    Widget* widgetUnderCursor();
    PixelPoint cursorPosition();
    void setCursorShape(std::int32_t shape);
    // Answers false when drops cannot be accepted (no window, or registration failed).
    bool setDropActive(bool on);

    // True without a window: then nothing is drawn anyway.
    bool onWindowThread() const { return !window || window->onOwnerThread(); }
    void requestPaint() {
        if (window) window->invalidate();
    }
    bool hasWindow() const { return window != nullptr && window->handle() != nullptr; }
    void* windowHandle() const { return window ? window->handle() : nullptr; }
    void* parentWindow() const { return parent; }
    bool isOpen() const { return open; }
    std::int32_t widgetCount() const { return static_cast<std::int32_t>(widgets.size()); }

private:
    void paintWindow(PaintContext& context) override;
    void pressInWindow(PaintContext& context, const MousePress& press) override;
    void windowDestroyed() override;
    bool dropInWindow(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) override;
    // Runs `drawing` on a context of the window, on the window's thread; from another thread the
    // window is only asked to repaint.
    template <typename Drawing>
    void drawOnWindow(Drawing drawing);

    GuiPlatform& platform;
    FrameHost* editor;
    void* parent;
    SkinBitmap* background = nullptr;
    std::vector<Widget*> widgets;
    bool firstDraw = true;
    bool open = true;
    bool dropActive = false;
    std::unique_ptr<NativeWindow> window;
};
