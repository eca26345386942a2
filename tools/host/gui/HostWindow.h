#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <utility>

// The host's own window, borderless at a fixed screen spot so that panel coordinates map to
// screen coordinates for input sent from outside (x = spotX + panel x). The loop pumps every
// message and calls `idle` on a timer, as hosts call effEditIdle.
class HostWindow {
public:
    static constexpr int spotX = 200;
    static constexpr int spotY = 150;

    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window; }
    // Destroys the window ahead of time, as a host that tears down its parent before effEditClose.
    void destroy();

    // Runs the message loop for `milliseconds`, or until `done` answers true, with `idle` every
    // `idlePeriod` milliseconds. Answers whether `done` ended it.
    bool run(DWORD milliseconds, DWORD idlePeriod, const std::function<void()>& idle,
             const std::function<bool()>& done = {});
    // Host code run when the window receives `message`, from whatever loop dispatches it (the
    // plug-in's dialogs and drags included).
    void onMessage(UINT message, std::function<void()> handler) { handlers[message] = std::move(handler); }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    std::map<UINT, std::function<void()>> handlers;
};
