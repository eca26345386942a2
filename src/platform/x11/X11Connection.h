#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>

// The panel's own connection to the X server and the child window made on it. Hosts hand over
// their Display* in some cases and 0 in others, and Xlib connections are not safe between
// threads, so every panel talks to the server on a connection nobody else uses.
class X11Connection {
public:
    // Null, with no connection left open, when there is no display, `parent` is no live window,
    // or the child cannot be made.
    static std::unique_ptr<X11Connection> open(::Window parent, std::int32_t width, std::int32_t height);
    // Destroys the child unless it is already gone, then closes the connection. Runs on the thread
    // that opened it.
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return connection; }
    // 0 once the server has destroyed the child (its parent went first).
    ::Window window() const { return child; }
    GC graphics() const { return context; }
    void forgetWindow() { child = 0; }

private:
    X11Connection(Display* display, ::Window child);

    Display* connection;
    ::Window child;
    GC context;
};
