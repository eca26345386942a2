#include "HostFixture.h"
#include "TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* noticeText = "Sample Rates other than 44.1kHz";

BOOL CALLBACK findNoticeText(HWND child, LPARAM found) {
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::strstr(text, noticeText)) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

BOOL CALLBACK collectNotices(HWND window, LPARAM notices) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    bool found = false;
    if (process == GetCurrentProcessId()) EnumChildWindows(window, findNoticeText, reinterpret_cast<LPARAM>(&found));
    if (found) reinterpret_cast<std::vector<HWND>*>(notices)->push_back(window);
    return TRUE;
}

// The sample-rate boxes this process shows, after waiting up to ten seconds for `expected` of them (the
// first box in a fresh Wine prefix is slow to appear).
std::vector<HWND> noticesOnScreen(std::size_t expected) {
    std::vector<HWND> notices;
    for (int attempt = 0; attempt < 200; ++attempt) {
        notices.clear();
        EnumWindows(collectNotices, reinterpret_cast<LPARAM>(&notices));
        if (notices.size() == expected) break;
        Sleep(50);
    }
    return notices;
}

void closeAll(const std::vector<HWND>& notices) {
    for (HWND notice : notices) PostMessageA(notice, WM_CLOSE, 0, 0);
}

}  // namespace

// Hosts rendering with nobody at the screen ask for other rates: the call must return while the box
// is up, a second refusal must not stack a second box, and the instance and even the library may
// go away while the box is still up.
TEST_F(HostFixture, TheSampleRateNoticeNeverHoldsTheHostAndComesOnceAtATime) {
    EXPECT_EQ(host->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    host->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    std::vector<HWND> notices = noticesOnScreen(1);
    ASSERT_EQ(notices.size(), 1u);
    Sleep(300);
    EXPECT_EQ(noticesOnScreen(1).size(), 1u);
    closeAll(notices);
    EXPECT_TRUE(noticesOnScreen(0).empty());

    // A copy under another name is a module of its own, which freeing really unloads.
    TempDir dir;
    const std::string copy = dir.file("brevatone-copy.dll");
    std::filesystem::copy_file(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE), copy);
    {
        PluginLibrary own(copy);
        PluginHost shortLived(own);
        ASSERT_NE(shortLived.open(), nullptr);
        shortLived.dispatch(effSetSampleRate, 0, 0, nullptr, 22050.0f);
        ASSERT_EQ(noticesOnScreen(1).size(), 1u);
        shortLived.close();
    }
    closeAll(noticesOnScreen(1));
    EXPECT_TRUE(noticesOnScreen(0).empty());
    Sleep(200);
    EXPECT_EQ(GetModuleHandleA("brevatone-copy.dll"), nullptr);
    EXPECT_EQ(host->dispatch(effIdentify), 0x4E764566);
}

#endif
