#include "gui/GuiPlatform.h"
#include "platform/WindowSystem.h"
#include "platform/win32/Win32Bitmap.h"
#include "platform/win32/Win32Window.h"

namespace {

class Win32GuiPlatform final : public GuiPlatform {
public:
    std::unique_ptr<BitmapImage> loadBitmap(std::int32_t resourceNumber) override {
        return Win32Bitmap::load(resourceNumber);
    }

    std::unique_ptr<NativeWindow> createWindow(void* parent, std::int32_t width, std::int32_t height,
                                               WindowClient& client) override {
        return Win32Window::create(static_cast<HWND>(parent), width, height, client);
    }

    std::uint32_t tickCount() override { return GetTickCount(); }
    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }

    // Only paints are let through while a control is dragged; the message record is the caller's own.
    void dispatchPendingPaint() override {
        MSG message{};
        if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
    }

    PixelPoint screenCursor() override {
        POINT cursor{};
        GetCursorPos(&cursor);
        return {cursor.x, cursor.y};
    }
};

}  // namespace

GuiPlatform* windowSystem() {
    static Win32GuiPlatform platform;
    return &platform;
}
