#include "platform/x11/X11Connection.h"

#include "platform/x11/X11ErrorTrap.h"

namespace {

// Presses and paints only: no key events, so the host keeps its keyboard shortcuts.
constexpr long panelEvents = ExposureMask | ButtonPressMask | StructureNotifyMask;

::Window makeChild(Display* display, ::Window parent, std::int32_t width, std::int32_t height) {
    X11ErrorTrap trap(display);
    XWindowAttributes parentAttributes{};
    if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap.failed()) return 0;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.event_mask = panelEvents;
    // The parent may use another visual (hosts with ARGB windows); naming a colormap and border
    // keeps the child valid on the screen's default visual whatever the parent has.
    attributes.colormap = DefaultColormap(display, screen);
    attributes.border_pixel = 0;
    // No background: the server leaves exposed areas alone and the next paint covers them.
    attributes.background_pixmap = None;
    const ::Window child =
        XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                      DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
                      CWEventMask | CWColormap | CWBorderPixel | CWBackPixmap, &attributes);
    XMapWindow(display, child);
    return trap.failed() ? 0 : child;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(::Window parent, std::int32_t width, std::int32_t height) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    const ::Window child = makeChild(display, parent, width, height);
    if (!child) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(display, child));
}

X11Connection::X11Connection(Display* display, ::Window made)
    : connection(display), child(made), context(XCreateGC(display, made, 0, nullptr)) {}

X11Connection::~X11Connection() {
    {
        // The host may have destroyed the parent, and with it the child, without our hearing of it.
        X11ErrorTrap trap(connection);
        if (child) XDestroyWindow(connection, child);
        XFreeGC(connection, context);
    }
    XCloseDisplay(connection);
}
