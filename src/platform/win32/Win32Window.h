#pragma once

#include "gui/NativeWindow.h"
#include "platform/DropReceiver.h"
#include "platform/win32/DropRegistration.h"

#include <windows.h>

// The editor's child window. OLE is initialised here, on the thread that makes the window, and
// uninitialised there only if that succeeded; without it the window simply takes no drops.
class Win32Window final : public NativeWindow, private DropReceiver {
public:
    // Null, with nothing left registered or initialised, when the parent is not a live window or
    // the window cannot be made.
    static std::unique_ptr<Win32Window> create(HWND parent, std::int32_t width, std::int32_t height,
                                               WindowClient& client);
    ~Win32Window() override;

    std::unique_ptr<PaintContext> makeContext() override;
    PixelPoint cursorPosition() override;
    bool onOwnerThread() const override { return GetCurrentThreadId() == ownerThread; }
    void invalidate() override;
    void setCursorShape(std::int32_t shape) override;
    bool setDropActive(bool on) override;
    void* handle() const override { return window; }

private:
    Win32Window(HWND window, WindowClient& client, bool oleReady);
    struct Leftovers;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Answers false when nothing could be handed over and the window is destroyed here after all.
    bool handOverToOwnerThread();
    static void finishOnOwnerThread(HWND window, LPARAM lParam);
    // The host destroys its parent window, or we do: forget the handle while it is still valid.
    void destroyed();
    void press(WPARAM wParam, LPARAM lParam);
    void paint();
    PixelPoint dropCursorPosition() override { return cursorPosition(); }
    bool acceptDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) override {
        return client.dropInWindow(names, count, kind, point);
    }

    HWND window;
    WindowClient& client;
    DWORD ownerThread = GetCurrentThreadId();
    HCURSOR savedCursor = nullptr;
    bool oleReady;
    std::unique_ptr<DropRegistration> drops;
};
