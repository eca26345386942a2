#include "platform/x11/X11ErrorTrap.h"

namespace {

std::mutex trapTurns;
// Guarded by trapTurns while a trap is set; the handler itself runs inside the trapping thread's
// XSync or round trip, or on another thread for another connection.
Display* trappedDisplay = nullptr;
XErrorHandler previousHandler = nullptr;
bool caught = false;

int onError(Display* display, XErrorEvent* error) {
    if (display == trappedDisplay) {
        caught = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* connection) : turn(trapTurns), display(connection) {
    trappedDisplay = display;
    caught = false;
    previousHandler = XSetErrorHandler(onError);
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display, False);
    // A host that set a handler of its own meanwhile keeps it.
    const XErrorHandler current = XSetErrorHandler(previousHandler);
    if (current != onError) XSetErrorHandler(current);
    trappedDisplay = nullptr;
}

bool X11ErrorTrap::failed() {
    XSync(display, False);
    return caught;
}
