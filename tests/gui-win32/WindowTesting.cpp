#include "WindowTesting.h"

#include <vector>

namespace {

HWND desktopWindow() {
    static const HWND window = CreateWindowExA(0, "STATIC", "Host", WS_POPUP | WS_VISIBLE, 20, 20, 320, 160, nullptr,
                                               nullptr, GetModuleHandleA(nullptr), nullptr);
    return window;
}

}  // namespace

HostWindow::HostWindow()
    : window(CreateWindowExA(0, "STATIC", "Editor", WS_CHILD | WS_VISIBLE, 10, 10, 300, 140, desktopWindow(), nullptr,
                             GetModuleHandleA(nullptr), nullptr)) {
    pumpWaitingMessages();
}

HostWindow::~HostWindow() { destroy(); }

void HostWindow::destroy() {
    if (window) DestroyWindow(window);
    window = nullptr;
    pumpWaitingMessages();
}

void pumpWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int freeGdiHandles() {
    std::vector<HBRUSH> made;
    while (HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3))) made.push_back(brush);
    for (HBRUSH brush : made) DeleteObject(brush);
    return static_cast<int>(made.size());
}
