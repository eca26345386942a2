#include "platform/x11/X11Connection.h"

#include "platform/ModuleLifetime.h"
#include "platform/x11/X11ErrorTrap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace {

// Long enough for a remote server over a slow link, short enough that a host still starts.
constexpr std::chrono::seconds answerPatience{3};

// One attempt to reach the display, which the caller may stop waiting for.
struct DisplayAttempt {
    std::mutex lock;
    std::condition_variable answered;
    bool finished = false;
    bool abandoned = false;
    Display* display = nullptr;
};

// Set while an abandoned attempt still waits for its server; guarded by that attempt's lock.
std::atomic<bool> attemptStillWaiting{false};

// The panels' connections, so that the process-wide I/O error handler knows its own from the host's.
std::mutex panelConnectionsLock;
std::set<Display*> panelConnections;
XIOErrorHandler hostIoErrorHandler = nullptr;

// Xlib calls this first when a connection fails, for every connection of the process. The panels'
// end in their own exit handler; any other goes to whatever handler was there before.
int onIoError(Display* display) {
    {
        std::lock_guard<std::mutex> guard(panelConnectionsLock);
        if (panelConnections.count(display) != 0) return 0;
    }
    return hostIoErrorHandler ? hostIoErrorHandler(display) : 0;
}

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

Display* X11Connection::reachDisplay() {
    if (attemptStillWaiting.load()) return nullptr;
    auto attempt = std::make_shared<DisplayAttempt>();
    std::thread opener;
    try {
        opener = std::thread([attempt] {
            Display* display = XOpenDisplay(nullptr);
            std::lock_guard<std::mutex> guard(attempt->lock);
            if (attempt->abandoned) {
                if (display) XCloseDisplay(display);
                attemptStillWaiting.store(false);
                return;
            }
            attempt->display = display;
            attempt->finished = true;
            attempt->answered.notify_one();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    std::unique_lock<std::mutex> guard(attempt->lock);
    if (attempt->answered.wait_for(guard, answerPatience, [&attempt] { return attempt->finished; })) {
        guard.unlock();
        opener.join();
        return attempt->display;
    }
    // The thread runs on in the library's code until the server answers or drops the connection.
    attempt->abandoned = true;
    attemptStillWaiting.store(true);
    keepModuleLoaded();
    opener.detach();
    return nullptr;
}

std::unique_ptr<X11Connection> X11Connection::open(::Window parent, std::int32_t width, std::int32_t height) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    Display* display = reachDisplay();
    if (!display) return nullptr;
    const ::Window child = makeChild(display, parent, width, height);
    if (!child) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(display, child));
}

X11Connection::X11Connection(Display* display, ::Window made)
    : connection(display), child(made), context(XCreateGC(display, made, 0, nullptr)) {
    {
        std::lock_guard<std::mutex> guard(panelConnectionsLock);
        panelConnections.insert(connection);
        // Xlib keeps the handler for good, so the code it points to must stay loaded as long.
        static const bool handlerSet = [] {
            keepModuleLoaded();
            hostIoErrorHandler = XSetIOErrorHandler(onIoError);
            return true;
        }();
        (void)handlerSet;
    }
#ifdef BREVATONE_X11_IO_ERROR_EXIT_HANDLER
    XSetIOErrorExitHandler(connection, onLoss, this);
#endif
}

// Runs inside the Xlib call that found the server gone. Returning, rather than ending the process
// as Xlib's own handler does, leaves the connection marked broken, and Xlib answers every later call
// on it without a word to the server.
void X11Connection::onLoss(Display*, void* lostConnection) {
    auto& lost = *static_cast<X11Connection*>(lostConnection);
    lost.gone = true;
    lost.child = 0;
}

X11Connection::~X11Connection() {
    {
        // The host may have destroyed the parent, and with it the child, without our hearing of it.
        // A lost connection needs no trap: Xlib sends nothing on it and only frees what it holds.
        std::optional<X11ErrorTrap> trap;
        if (!gone) trap.emplace(connection);
        if (child) XDestroyWindow(connection, child);
        XFreeGC(connection, context);
    }
    {
        std::lock_guard<std::mutex> guard(panelConnectionsLock);
        panelConnections.erase(connection);
    }
    XCloseDisplay(connection);
}
