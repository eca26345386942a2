#include "gui/EditorFrame.h"

#include "gui/FrameHost.h"
#include "gui/GuiPlatform.h"
#include "gui/PaintContext.h"
#include "gui/SkinBitmap.h"

#include <algorithm>
#include <new>

EditorFrame::EditorFrame(GuiPlatform& guiPlatform, const PixelRect& bounds, void* parentWindow, FrameHost* owner)
    : Widget(bounds), platform(guiPlatform), editor(owner), parent(parentWindow) {
    if (!parent) return;
    window = platform.createWindow(parent, bounds.width(), bounds.height(), *this);
    setDropActive(true);
}

// The window goes before the widgets: closed from another thread, it may still be painting them
// until it lets go. Its drop registration goes with it.
EditorFrame::~EditorFrame() {
    closeWindow();
    removeAllWidgets(true);
    setBackground(nullptr);
}

void EditorFrame::closeWindow() {
    setCursorShape(0);
    window.reset();
}

template <typename Drawing>
void EditorFrame::drawOnWindow(Drawing drawing) {
    if (!window) return;
    if (!window->onOwnerThread()) {
        window->invalidate();
        return;
    }
    if (auto context = window->makeContext()) drawing(*context);
}

void EditorFrame::draw(PaintContext& context) {
    firstDraw = false;
    if (background) background->draw(context, {0, 0, background->width(), background->height()}, {0, 0});
    // A full paint leaves every widget's dirty state as it was: changed widgets still redraw on idle.
    for (Widget* widget : widgets) {
        const bool dirty = widget->isDirty();
        widget->draw(context);
        widget->setDirty(dirty);
    }
}

void EditorFrame::onMouseDown(PaintContext& context, const MousePress& press) {
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
        Widget* widget = *it;
        if (widget->isMouseEnabled() && widget->bounds().containsInclusive(press.point)) {
            widget->onMouseDown(context, press);
            return;
        }
    }
}

void EditorFrame::redrawIfDirty(PaintContext& context) {
    if (!open) return;
    if (Widget::isDirty()) {
        draw(context);
        setDirty(false);
        return;
    }
    for (Widget* widget : widgets) widget->redrawIfDirty(context);
}

bool EditorFrame::onDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) {
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it) {
        Widget* widget = *it;
        if (widget->isMouseEnabled() && widget->bounds().containsInclusive(point) &&
            widget->onDrop(names, count, kind, point))
            return true;
    }
    return false;
}

bool EditorFrame::onWheel(PaintContext&, PixelPoint, float distance) { return wheelAtCursor(distance); }

bool EditorFrame::wheelAtCursor(float distance) {
    Widget* target = widgetUnderCursor();
    if (!target || !window) return false;
    auto context = window->makeContext();
    return context && target->onWheel(*context, cursorPosition(), distance);
}

bool EditorFrame::addWidget(Widget* widget) {
    if (!widget) return false;
    try {
        widgets.push_back(widget);
    } catch (const std::bad_alloc&) {
        return false;
    }
    widget->setFrame(this);
    widget->onAttached(this);
    return true;
}

bool EditorFrame::removeWidget(Widget* widget, bool release) {
    const auto found = std::find(widgets.begin(), widgets.end(), widget);
    if (found == widgets.end()) return true;
    widgets.erase(found);
    widget->onRemoved(this);
    widget->setFrame(nullptr);
    if (release) widget->release();
    return true;
}

bool EditorFrame::removeAllWidgets(bool release) {
    std::vector<Widget*> removed;
    removed.swap(widgets);
    for (Widget* widget : removed) {
        widget->onRemoved(this);
        widget->setFrame(nullptr);
        if (release) widget->release();
    }
    return true;
}

bool EditorFrame::contains(const Widget* widget) const {
    return std::find(widgets.begin(), widgets.end(), widget) != widgets.end();
}

void EditorFrame::idle() {
    if (open && !firstDraw && isAnythingDirty())
        drawOnWindow([this](PaintContext& context) { redrawIfDirty(context); });
    // Last: a press taken here may end with this frame closed.
    if (window && window->onOwnerThread()) window->handleEvents();
}

void EditorFrame::redraw(Widget* widget) {
    drawOnWindow([this, widget](PaintContext& context) {
        if (widget && contains(widget))
            widget->draw(context);
        else
            draw(context);
    });
}

void EditorFrame::setBackground(SkinBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (background) background->release();
    background = bitmap;
}

bool EditorFrame::isAnythingDirty() const {
    return Widget::isDirty() ||
           std::any_of(widgets.begin(), widgets.end(), [](const Widget* widget) { return widget->isDirty(); });
}

void EditorFrame::beginEdit(std::int32_t tag) {
    if (editor) editor->beginEdit(tag);
}

void EditorFrame::endEdit(std::int32_t tag) {
    if (editor) editor->endEdit(tag);
}

void EditorFrame::pumpMessages() {
    if (editor) editor->pumpMessages();
}

Widget* EditorFrame::widgetUnderCursor() {
    const PixelPoint cursor = cursorPosition();
    for (auto it = widgets.rbegin(); it != widgets.rend(); ++it)
        if ((*it)->bounds().containsInclusive(cursor)) return *it;
    return nullptr;
}

PixelPoint EditorFrame::cursorPosition() { return window ? window->cursorPosition() : platform.screenCursor(); }

void EditorFrame::setCursorShape(std::int32_t shape) {
    if (window) window->setCursorShape(shape);
}

bool EditorFrame::setDropActive(bool on) {
    if (!dropActive && !on) return true;
    if (!hasWindow()) return false;
    const bool accepted = window->setDropActive(on);
    dropActive = on && accepted;
    return accepted;
}

void EditorFrame::paintWindow(PaintContext& context) {
    if (editor) editor->showPendingChanges();
    draw(context);
}

void EditorFrame::pressInWindow(PaintContext& context, const MousePress& press) { onMouseDown(context, press); }

bool EditorFrame::dropInWindow(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) {
    return onDrop(names, count, kind, point);
}

void EditorFrame::windowDestroyed() {
    open = false;
    parent = nullptr;
    dropActive = false;
}
