#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <vector>

// The host's own window on X11: override-redirect at a fixed screen spot, so no window manager is
// needed and panel coordinates map to screen coordinates (x = spotX + panel x). It has its own
// connection, as a host's GUI has; the plug-in opens another.
class X11HostWindow {
public:
    static constexpr int spotX = 200;
    static constexpr int spotY = 150;

    X11HostWindow(int width, int height);
    ~X11HostWindow();
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    bool valid() const { return window != 0; }
    Display* display() const { return connection; }
    ::Window handle() const { return window; }
    // What effEditOpen gets in `ptr`: the XID.
    void* parentHandle() const;
    // The windows inside the host's window: the panel, when one is open.
    std::vector<::Window> children() const;
    // Destroys the window ahead of time, as a host that tears down its parent before effEditClose.
    void destroy();

    // Calls `idle` every `idlePeriod` for `duration`, or until `done` answers true; answers whether
    // `done` ended it. The host's own events are read and dropped in between.
    bool run(std::chrono::milliseconds duration, std::chrono::milliseconds idlePeriod,
             const std::function<void()>& idle, const std::function<bool()>& done = {});

private:
    Display* connection;
    ::Window window = 0;
};
