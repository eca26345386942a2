#pragma once

#include <X11/Xlib.h>

#include <mutex>

// Catches the X errors of one connection while it lives, and leaves every other connection's
// errors to the handler that was there before. The handler is process-wide and a host's default
// one ends the process, so every request that may meet a window the host has destroyed (our
// child goes with the host's parent) runs inside a trap. Traps of all threads take turns.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has answered every request so far; true when any of them failed.
    bool failed();

private:
    std::lock_guard<std::mutex> turn;
    Display* display;
};
