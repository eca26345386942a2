#include "X11HostWindow.h"

#include <cstdint>
#include <thread>

X11HostWindow::X11HostWindow(int width, int height) : connection(XOpenDisplay(nullptr)) {
    if (!connection) return;
    const int screen = DefaultScreen(connection);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(connection, screen);
    attributes.event_mask = StructureNotifyMask;
    window = XCreateWindow(connection, RootWindow(connection, screen), spotX, spotY, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    // The name scripts find the window by, as on Windows.
    XStoreName(connection, window, "Brevatone test host");
    XMapRaised(connection, window);
    XSync(connection, False);
}

X11HostWindow::~X11HostWindow() {
    destroy();
    if (connection) XCloseDisplay(connection);
}

void* X11HostWindow::parentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

std::vector<::Window> X11HostWindow::children() const {
    std::vector<::Window> found;
    ::Window root = 0, parent = 0;
    ::Window* list = nullptr;
    unsigned int count = 0;
    if (!window || !XQueryTree(connection, window, &root, &parent, &list, &count)) return found;
    found.assign(list, list + count);
    if (list) XFree(list);
    return found;
}

void X11HostWindow::destroy() {
    if (!window) return;
    XDestroyWindow(connection, window);
    XSync(connection, False);
    window = 0;
}

bool X11HostWindow::run(std::chrono::milliseconds duration, std::chrono::milliseconds idlePeriod,
                        const std::function<void()>& idle, const std::function<bool()>& done) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + duration;
    Clock::time_point nextIdle = Clock::now();
    while (Clock::now() < end) {
        if (done && done()) return true;
        while (connection && XPending(connection) > 0) {
            XEvent event;
            XNextEvent(connection, &event);
        }
        if (idle && Clock::now() >= nextIdle) {
            nextIdle = Clock::now() + idlePeriod;
            idle();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}
