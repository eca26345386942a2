#include "platform/x11/X11Window.h"

#include "gui/GestureScope.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11GuiPlatform.h"
#include "platform/x11/X11PaintContext.h"

#include <cstdint>

namespace {

// The connection is the panel's own: everything on it is taken, and what the panel has no use for
// (a keyboard mapping notice every client gets, the child's map and configure notices) is
// dropped, so nothing piles up. A press that comes while a control is dragged stays queued until
// the drag is over, as on Windows.
Bool takeable(Display*, XEvent* event, XPointer pressesToo) {
    return *reinterpret_cast<const bool*>(pressesToo) || event->type != ButtonPress;
}

MouseButtons heldOf(unsigned int state) {
    MouseButtons held = 0;
    if (state & Button1Mask) held |= kLeftButton;
    if (state & Button2Mask) held |= kMiddleButton;
    if (state & Button3Mask) held |= kRightButton;
    if (state & ShiftMask) held |= kShiftKey;
    if (state & ControlMask) held |= kControlKey;
    if (state & Mod1Mask) held |= kAltKey;
    return held;
}

// The state in the event is from just before the press; the pressed button counts as held.
// Wheel steps come as buttons 4 to 7 and are no presses.
std::optional<MousePress> pressOf(const XButtonEvent& event) {
    MouseButtons pressed = 0;
    switch (event.button) {
        case Button1: pressed = kLeftButton; break;
        case Button2: pressed = kMiddleButton; break;
        case Button3: pressed = kRightButton; break;
        default: return std::nullopt;
    }
    return MousePress{{event.x, event.y}, heldOf(event.state) | pressed};
}

}  // namespace

std::unique_ptr<X11Window> X11Window::create(X11GuiPlatform& platform, void* parent, std::int32_t width,
                                             std::int32_t height, WindowClient& client) {
    const auto parentId = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(parent));
    std::unique_ptr<X11Connection> connection = X11Connection::open(parentId, width, height);
    if (!connection) return nullptr;
    return std::unique_ptr<X11Window>(new X11Window(platform, std::move(connection), width, height, client));
}

X11Window::X11Window(X11GuiPlatform& owner, std::unique_ptr<X11Connection> made, std::int32_t width,
                     std::int32_t height, WindowClient& windowClient)
    : platform(owner),
      connection(std::move(made)),
      backBuffer(connection->display(), width, height),
      client(windowClient) {
    platform.windowOpened(*this);
}

X11Window::~X11Window() {
    platform.windowClosed(*this);
    if (!onOwnerThread()) platform.closeLater(std::move(connection), ownerThread);
}

void* X11Window::handle() const {
    return connection->window() ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(connection->window())) : nullptr;
}

std::unique_ptr<PaintContext> X11Window::makeContext() {
    if (!connection->window() || !onOwnerThread()) return nullptr;
    return std::make_unique<X11PaintContext>(*this, backBuffer.pixels());
}

X11Window::PointerState X11Window::queryPointer() {
    if (!connection->window() || !onOwnerThread()) return {};
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int state = 0;
    X11ErrorTrap trap(connection->display());
    // False when the pointer is on another screen, where the window has no coordinates for it.
    const bool sameScreen =
        XQueryPointer(connection->display(), connection->window(), &root, &child, &rootX, &rootY, &x, &y, &state);
    if (trap.failed()) return {};
    return {sameScreen ? PixelPoint{x, y} : PixelPoint{}, heldOf(state)};
}

PixelPoint X11Window::cursorPosition() { return queryPointer().at; }

MouseButtons X11Window::pointerButtons() { return queryPointer().held; }

void X11Window::presentDrawing() {
    if (!drawnSinceShown || !connection->window()) return;
    drawnSinceShown = false;
    X11ErrorTrap trap(connection->display());
    backBuffer.putInto(*connection);
}

void X11Window::handleEvents() {
    if (!onOwnerThread()) return;
    platform.closeAbandonedConnections();
    const std::optional<MousePress> press = takeEvents(!pressing);
    presentDrawing();
    if (press) deliverPress(*press);
}

void X11Window::paintIfExposed() {
    takeEvents(false);
    presentDrawing();
}

std::optional<MousePress> X11Window::takeEvents(bool pressesToo) {
    std::optional<MousePress> press;
    bool exposed = false;
    XEvent event{};
    while (!press && connection->window() &&
           XCheckIfEvent(connection->display(), &event, takeable, reinterpret_cast<XPointer>(&pressesToo))) {
        if (event.xany.window != connection->window()) continue;
        if (event.type == Expose)
            exposed = true;
        else if (event.type == DestroyNotify)
            forgetWindow();
        else if (event.type == ButtonPress)
            press = pressOf(event.xbutton);
    }
    // The server went away inside one of those calls: the panel is as good as destroyed.
    if (connection->lost() && !lossReported) {
        lossReported = true;
        client.windowDestroyed();
    }
    if (paintAsked.exchange(false) || exposed) paint();
    return press;
}

void X11Window::paint() {
    if (auto context = makeContext()) client.paintWindow(*context);
}

void X11Window::forgetWindow() {
    connection->forgetWindow();
    client.windowDestroyed();
}

void X11Window::deliverPress(const MousePress& press) {
    // Declared first, so it unwinds last.
    GestureScope gesture;
    pressing = true;
    if (auto context = makeContext()) client.pressInWindow(*context, press);
    pressing = false;
}
