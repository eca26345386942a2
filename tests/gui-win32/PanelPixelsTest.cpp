#include "PanelScene.h"
#include "WindowTesting.h"
#include "gui/GuiPlatform.h"
#include "gui/ValueListener.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Reads back what the window shows, as RGB rows from the top.
RgbImage windowPixels(HWND window) {
    RgbImage picture(250, 100);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 250;
    format.bmiHeader.biHeight = -100;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HBITMAP copy = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, 250, 100, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* bgrx = static_cast<const unsigned char*>(bits);
    for (std::int32_t y = 0; y < 100; ++y)
        for (std::int32_t x = 0; x < 250; ++x) {
            const unsigned char* at = bgrx + (y * 250 + x) * 4;
            picture.setPixel(x, y, {at[2], at[1], at[0], 0});
        }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(copy);
    ReleaseDC(window, screen);
    return picture;
}

// Counts the pixels that differ and reports the first.
int differences(const RgbImage& expected, const RgbImage& actual) {
    int count = 0;
    for (std::int32_t y = 0; y < 100; ++y)
        for (std::int32_t x = 0; x < 250; ++x)
            if (!expected.pixel(x, y).sameRgb(actual.pixel(x, y)) && count++ == 0)
                ADD_FAILURE() << "first difference at (" << x << ", " << y << ")";
    return count;
}

// Sends real input from another thread while this one runs the window's messages and, inside
// them, the control's drag loop.
void sendWhilePumping(const std::vector<INPUT>& inputs) {
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        for (INPUT input : inputs) {
            SendInput(1, &input, sizeof input);
            Sleep(40);
        }
        sent = true;
    });
    while (!sent) {
        pumpWaitingMessages();
        Sleep(1);
    }
    sender.join();
    pumpWaitingMessages();
}

INPUT mouseInput(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

class PanelPixels : public ::testing::Test {
protected:
    PanelPixels() {
        software.lastWindow()->paint();
        pumpWaitingMessages();
    }
    HWND frameWindow() { return static_cast<HWND>(windows.frame().windowHandle()); }

    QuietEditor editor;
    HostWindow host;
    SoftwarePlatform software;
    int softwareParent = 0;
    PanelScene drawn{software, &softwareParent, &editor, nullptr};
    PanelScene windows{systemGuiPlatform(), host.handle(), &editor, nullptr};
};

TEST_F(PanelPixels, TheWindowShowsWhatTheSoftwarePlatformDraws) {
    ASSERT_NE(frameWindow(), nullptr);
    EXPECT_EQ(windows.bitmap(134).height(), 354);
    EXPECT_EQ(differences(software.lastWindow()->screen(), windowPixels(frameWindow())), 0);
    for (PanelScene* scene : {&drawn, &windows}) {
        scene->attack->setValue(0.5f);
        scene->syncOn->setValue(1.0f);
        scene->syncMode->setValue(1.0f);
        scene->frame().idle();
        scene->frame().idle();
    }
    EXPECT_EQ(differences(software.lastWindow()->screen(), windowPixels(frameWindow())), 0);
}

TEST_F(PanelPixels, ADragWithRealInputGivesTheScriptedValue) {
    RECT place{};
    GetWindowRect(frameWindow(), &place);
    auto at = [&](std::int32_t x, std::int32_t y) { return POINT{place.left + x, place.top + y}; };
    sendWhilePumping({mouseInput(0, at(50, 60)), mouseInput(MOUSEEVENTF_LEFTDOWN, at(50, 60)),
                      mouseInput(0, at(50, 45)), mouseInput(0, at(50, 37)), mouseInput(MOUSEEVENTF_LEFTUP, at(50, 37))});
    software.pointer().hold({50, 60}, kLeftButton);
    software.pointer().script({{{50, 45}, kLeftButton}, {{50, 37}, kLeftButton}, {{50, 37}, 0}});
    software.lastWindow()->press({50, 60}, kLeftButton);
    EXPECT_GT(drawn.attack->getValue(), 0.7f);
    EXPECT_EQ(windows.attack->getValue(), drawn.attack->getValue());
}

TEST_F(PanelPixels, TenThousandColourKeyedDrawsLeaveTheFreeGdiHandlesAsTheyWere) {
    windows.frame().redraw(windows.attack);
    const int freeBefore = freeGdiHandles();
    for (int i = 0; i < 10000; ++i) windows.frame().redraw(windows.attack);
    EXPECT_EQ(freeGdiHandles(), freeBefore);
}

}  // namespace
