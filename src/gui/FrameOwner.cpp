#include "gui/FrameOwner.h"

FrameOwner::FrameOwner(GuiPlatform& platform) : guiPlatform(platform), messagePump(platform) {}

// OLE belongs to the window's thread and is set up and torn down with the window, not here: the
// owner is made on whatever thread the host scans plug-ins from.
FrameOwner::~FrameOwner() = default;

void FrameOwner::idle() {
    if (!inHostIdle() && editorFrame) editorFrame->idle();
}

void FrameOwner::pumpMessages() { messagePump.pump(*this); }

bool FrameOwner::wheelAtCursor(float distance) { return editorFrame && editorFrame->wheelAtCursor(distance); }

EditorFrame& FrameOwner::openFrame(const PixelRect& bounds, void* parent) {
    editorFrame = std::make_unique<EditorFrame>(guiPlatform, bounds, parent, this);
    return *editorFrame;
}
