#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>

// The panel's own connection to the X server and the child window made on it. Hosts hand over
// their Display* in some cases and 0 in others, and Xlib connections are not safe between
// threads, so every panel talks to the server on a connection nobody else uses.
//
// A server that goes away takes the connection with it, not the host: Xlib's next call on it
// reports the loss through the handlers set here, which return instead of ending the process, and
// from then on the connection has no window, so nothing calls the server again.
class X11Connection {
public:
    // Null, with no connection left open, when there is no display, `parent` is no live window,
    // or the child cannot be made.
    static std::unique_ptr<X11Connection> open(::Window parent, std::int32_t width, std::int32_t height);
    // A new connection to the display DISPLAY names, or null when there is none or it does not
    // answer within a few seconds: a server that takes the connection and never answers would
    // otherwise hold the caller for good. While such an attempt still waits, the next gives up at once.
    static Display* reachDisplay();
    // Destroys the child unless it is already gone, then closes the connection. Runs on the thread
    // that opened it.
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return connection; }
    // 0 once the server has destroyed the child (its parent went first) or the server is gone.
    ::Window window() const { return child; }
    GC graphics() const { return context; }
    void forgetWindow() { child = 0; }
    // Whether the server went away; the connection is then never used again.
    bool lost() const { return gone; }

private:
    X11Connection(Display* display, ::Window child);
    static void onLoss(Display* display, void* connection);

    Display* connection;
    ::Window child;
    GC context;
    bool gone = false;
};
