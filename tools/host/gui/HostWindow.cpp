#include "HostWindow.h"

namespace {

constexpr char className[] = "BrevatoneTestHostWindow";

ATOM registerHostClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = className;
        return RegisterClassA(&windowClass);
    }();
    return atom;
}

}  // namespace

HostWindow::HostWindow(int width, int height) {
    registerHostClass(procedure);
    window = CreateWindowExA(WS_EX_TOPMOST, className, "Brevatone test host", WS_POPUP | WS_VISIBLE, spotX, spotY,
                             width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetForegroundWindow(window);
        UpdateWindow(window);
    }
}

HostWindow::~HostWindow() { destroy(); }

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        const auto handler = self->handlers.find(message);
        if (handler != self->handlers.end()) {
            handler->second();
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void HostWindow::destroy() {
    if (window && IsWindow(window)) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    window = nullptr;
}

bool HostWindow::run(DWORD milliseconds, DWORD idlePeriod, const std::function<void()>& idle,
                     const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    DWORD lastIdle = start;
    while (GetTickCount() - start < milliseconds) {
        if (done && done()) return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (idle && GetTickCount() - lastIdle >= idlePeriod) {
            lastIdle = GetTickCount();
            idle();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
    return false;
}
