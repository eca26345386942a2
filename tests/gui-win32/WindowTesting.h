#pragma once

#include "gui/FrameHost.h"

#include <windows.h>

// A visible window standing in for the host's editor parent: a child of one top-level window that
// the program keeps for its whole run (without a window manager, destroying a top-level window
// waits two seconds for one).
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window; }
    // Destroys the window now, as a host that closes its parent before the editor does.
    void destroy();

private:
    HWND window;
};

// Dispatches every message waiting for this thread.
void pumpWaitingMessages();

// How many more brushes the process can make: the GDI handles still free. Wine's GetGuiResources
// does not count, so the test counts by making them.
int freeGdiHandles();

// Ignores the frame's requests: no host behind it.
class QuietEditor : public FrameHost {
public:
    void pumpMessages() override {}
    void beginEdit(std::int32_t) override {}
    void endEdit(std::int32_t) override {}
};
