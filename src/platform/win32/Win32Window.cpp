#include "platform/win32/Win32Window.h"

#include "gui/GestureScope.h"
#include "platform/ModuleLifetime.h"
#include "platform/win32/ModuleHold.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/Win32PaintContext.h"
#include "platform/win32/WindowClass.h"

#include <ole2.h>

#include <mutex>
#include <new>

namespace {

// The buttons and keys held when the press happened, from the message itself: a click released
// before the window handles it still acts once, at the press point.
MouseButtons pressButtons(WPARAM wParam) {
    MouseButtons buttons = 0;
    if (wParam & MK_LBUTTON) buttons |= kLeftButton;
    if (wParam & MK_MBUTTON) buttons |= kMiddleButton;
    if (wParam & MK_RBUTTON) buttons |= kRightButton;
    if (wParam & MK_SHIFT) buttons |= kShiftKey;
    if (wParam & MK_CONTROL) buttons |= kControlKey;
    if (GetKeyState(VK_MENU) < 0) buttons |= kAltKey;
    return buttons;
}

LPCSTR cursorOfShape(std::int32_t shape) {
    switch (shape) {
        case 1: return IDC_WAIT;
        case 2: return IDC_SIZEWE;
        case 3: return IDC_SIZENS;
        case 4: return IDC_SIZEALL;
        case 5: return IDC_SIZENESW;
        case 6: return IDC_SIZENWSE;
        default: return nullptr;
    }
}

// Posted to a window whose panel was closed from another thread; lParam carries its leftovers.
constexpr UINT destroyOnOwnerThread = WM_APP + 0x17;

// A close from another thread waits for a paint in progress, and a paint after it finds no panel.
std::mutex attachment;

}  // namespace

// What a window closed from a foreign thread still holds: its drop registration, its use of the
// class and of OLE. All belong to the window's own thread and are given back there.
struct Win32Window::Leftovers {
    std::unique_ptr<DropRegistration> drops;
    bool oleReady;
};

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, std::int32_t width, std::int32_t height,
                                                 WindowClient& client) {
    if (!parent || !IsWindow(parent)) return nullptr;
    const HRESULT ole = OleInitialize(nullptr);
    const bool oleReady = ole == S_OK || ole == S_FALSE;
    if (!WindowClass::acquire(procedure)) {
        if (oleReady) OleUninitialize();
        return nullptr;
    }
    HWND made = CreateWindowExA(0, WindowClass::name(), "Window", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent,
                                nullptr, moduleInstance(), nullptr);
    if (!made) {
        WindowClass::release();
        if (oleReady) OleUninitialize();
        return nullptr;
    }
    std::unique_ptr<Win32Window> created(new Win32Window(made, client, oleReady));
    SetWindowLongPtrA(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created.get()));
    return created;
}

Win32Window::Win32Window(HWND made, WindowClient& windowClient, bool ole)
    : window(made), client(windowClient), oleReady(ole) {}

Win32Window::~Win32Window() {
    if (window && !onOwnerThread() && handOverToOwnerThread()) return;
    if (window) {
        HWND dying = window;
        destroyed();
        DestroyWindow(dying);
    }
    WindowClass::release();
    if (oleReady) OleUninitialize();
}

// The window stops calling into this object at once; its thread destroys it when it next reads its
// messages. The code that does so stays loaded even if the host frees the library meanwhile.
bool Win32Window::handOverToOwnerThread() {
    auto* leftovers = new (std::nothrow) Leftovers{nullptr, oleReady};
    if (!leftovers) return false;
    if (drops) drops->detachReceiver();
    {
        const std::lock_guard<std::mutex> guard(attachment);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    keepModuleLoaded();
    const bool posted = PostMessageA(window, destroyOnOwnerThread, 0, reinterpret_cast<LPARAM>(leftovers));
    window = nullptr;
    if (posted) {
        leftovers->drops = std::move(drops);
        return true;
    }
    // The window's thread has ended, and the system has destroyed the window with it.
    delete leftovers;
    drops.reset();
    WindowClass::release();
    return true;
}

void Win32Window::finishOnOwnerThread(HWND window, LPARAM lParam) {
    std::unique_ptr<Leftovers> leftovers(reinterpret_cast<Leftovers*>(lParam));
    leftovers->drops.reset();
    DestroyWindow(window);
    WindowClass::release();
    if (leftovers->oleReady) OleUninitialize();
}

void Win32Window::destroyed() {
    drops.reset();
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    window = nullptr;
    client.windowDestroyed();
}

// Nothing may unwind into the operating system and on into the host.
LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT Win32Window::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        const std::lock_guard<std::mutex> guard(attachment);
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self || !GetUpdateRect(hwnd, nullptr, FALSE)) return DefWindowProcA(hwnd, message, wParam, lParam);
        self->paint();
        return 0;
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        if (message == destroyOnOwnerThread && lParam) {
            finishOnOwnerThread(hwnd, lParam);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_DESTROY: self->destroyed(); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            // The host may close the editor or the whole plug-in, and free the library, from inside
            // the press. The gesture carries that out as it unwinds, which is after the press has
            // let go of this window and before the module hold lets go of the code.
            ModuleHold hold;
            GestureScope gesture;
            self->press(wParam, lParam);
            return 0;
        }
        default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Win32Window::paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc) {
        Win32PaintContext context(dc, window, Win32PaintContext::DcOwnership::borrowed);
        client.paintWindow(context);
    }
    EndPaint(window, &paint);
}

void Win32Window::press(WPARAM wParam, LPARAM lParam) {
    const MousePress pressed{{static_cast<std::int32_t>(LOWORD(lParam)), static_cast<std::int32_t>(HIWORD(lParam))},
                             pressButtons(wParam)};
    if (auto context = makeContext()) client.pressInWindow(*context, pressed);
}

std::unique_ptr<PaintContext> Win32Window::makeContext() {
    if (!window) return nullptr;
    HDC dc = GetDC(window);
    if (!dc) return nullptr;
    return std::make_unique<Win32PaintContext>(dc, window, Win32PaintContext::DcOwnership::releaseToWindow);
}

PixelPoint Win32Window::cursorPosition() {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT place{};
    if (window && GetWindowRect(window, &place)) return {cursor.x - place.left, cursor.y - place.top};
    return {cursor.x, cursor.y};
}

void Win32Window::invalidate() {
    if (window) InvalidateRect(window, nullptr, FALSE);
}

void Win32Window::setCursorShape(std::int32_t shape) {
    if (!savedCursor) savedCursor = GetCursor();
    if (shape == 0) {
        SetCursor(savedCursor);
        return;
    }
    if (LPCSTR id = cursorOfShape(shape)) SetCursor(LoadCursorA(nullptr, id));
}

bool Win32Window::setDropActive(bool on) {
    if (!window) return false;
    if (!on) {
        drops.reset();
        return true;
    }
    if (!oleReady) return false;
    if (!drops) drops = std::make_unique<DropRegistration>(window, static_cast<DropReceiver&>(*this));
    if (!drops->isRegistered()) drops.reset();
    return drops != nullptr;
}
