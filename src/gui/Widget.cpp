#include "gui/Widget.h"

#include <atomic>

namespace {
std::atomic<std::int32_t> liveWidgets{0};
}

Widget::Widget(const PixelRect& bounds) : boundsRect(bounds), mouseArea(bounds) { ++liveWidgets; }

Widget::~Widget() { --liveWidgets; }

std::int32_t Widget::liveCount() { return liveWidgets; }

void Widget::draw(PaintContext&) {}
void Widget::onMouseDown(PaintContext&, const MousePress&) {}

void Widget::redrawIfDirty(PaintContext& context) {
    if (!isDirty()) return;
    draw(context);
    setDirty(false);
}

bool Widget::onDrop(const char* const*, std::int32_t, std::int32_t, PixelPoint) { return false; }
bool Widget::onWheel(PaintContext&, PixelPoint, float) { return false; }
bool Widget::isDirty() const { return dirtyFlag; }
void Widget::setDirty(bool dirty) { dirtyFlag = dirty; }

void Widget::setBounds(const PixelRect& bounds) {
    boundsRect = bounds;
    setDirty(true);
}

void Widget::release() {
    if (references <= 0) return;
    if (--references == 0) delete this;
}
