// The panel as careless hosts call it: parents that are no usable window, calls from inside its
// own gestures, and calls from a thread other than the window's.
#include "PanelInHostFixture.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr int attackX = 53;
constexpr int sustainLeft = 93;

std::string panelClassName() {
    char name[32];
    std::snprintf(
        name, sizeof name, "Plugin%08llx",
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(BREVATONE_PLUGIN_FILE))));
    return name;
}

bool panelClassRegistered() {
    WNDCLASSA registered{};
    return GetClassInfoA(GetModuleHandleA(BREVATONE_PLUGIN_FILE), panelClassName().c_str(), &registered) != 0;
}

// A parent window made and pumped by a thread of its own, as hosts that run plug-in windows apart.
class ForeignParent {
public:
    ForeignParent()
        : thread([this] {
              HostWindow window(250, 100);
              handle = window.handle();
              window.run(INFINITE, 20, {}, [this] { return done.load(); });
          }) {
        while (!handle) Sleep(5);
    }
    ~ForeignParent() {
        done = true;
        thread.join();
    }
    std::atomic<HWND> handle{nullptr};

private:
    std::atomic<bool> done{false};
    std::thread thread;
};

}  // namespace

TEST_F(PanelInHostFixture, OpenInAParentThatIsNoUsableWindowAnswersZeroAndKeepsNothing) {
    HWND destroyed = nullptr;
    {
        HostWindow gone(250, 100);
        destroyed = gone.handle();
    }
    HDC deviceContext = GetDC(parent.handle());
    HWND parentHandle = parent.handle();
    for (void* bad : {static_cast<void*>(destroyed), reinterpret_cast<void*>(0x0badf00d),
                      static_cast<void*>(deviceContext), static_cast<void*>(&parentHandle)}) {
        EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, bad), 0) << bad;
        EXPECT_EQ(panelWindow(), nullptr);
        EXPECT_FALSE(panelClassRegistered());
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
    ReleaseDC(parent.handle(), deviceContext);
    ASSERT_EQ(openPanel(), 1);
    EXPECT_NE(panelWindow(), nullptr);
    host->dispatch(effEditClose);

    // A window of another thread and a message-only window: a panel that closes cleanly, or 0.
    HWND messageOnly = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ForeignParent foreign;
    for (HWND other : {messageOnly, foreign.handle.load()}) {
        const VstIntPtr opened = host->dispatch(effEditOpen, 0, 0, other);
        EXPECT_TRUE(opened == 0 || opened == 1);
        pump(50);
        host->dispatch(effEditClose);
        EXPECT_EQ(FindWindowExA(other, nullptr, nullptr, nullptr), nullptr);
        EXPECT_FALSE(panelClassRegistered());
    }
    DestroyWindow(messageOnly);
}

TEST_F(PanelInHostFixture, CloseAndOpenFromInsideTheLoadDialogLeaveExactlyOneWorkingPanel) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    std::thread shower([this] {
        while (!FindWindowA("#32770", "Load Rex File")) Sleep(10);
        PostMessageA(parent.handle(), WM_APP, 0, 0);
    });
    VstIntPtr reopened = -1;
    parent.onMessage(WM_APP, [&] {
        // The host hides and shows its plug-in window again while the dialog is up.
        host->dispatch(effEditClose);
        reopened = host->dispatch(effEditOpen, 0, 0, parent.handle());
        if (HWND dialog = FindWindowA("#32770", "Load Rex File"))
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        sendButton(MOUSEEVENTF_LEFTUP);
    });
    SetCursorPos(HostWindow::spotX + 20, HostWindow::spotY + 30);
    sendButton(MOUSEEVENTF_LEFTDOWN);
    pump(3000);
    shower.join();
    EXPECT_EQ(reopened, 1);
    HWND panel = panelWindow();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(FindWindowExA(parent.handle(), panel, nullptr, nullptr), nullptr);
    host->forgetRequests();
    press(attackX, 50);
    ASSERT_FALSE(told().empty());
    EXPECT_EQ(told().front().opcode, audioMasterBeginEdit);
}

TEST_F(PanelInHostFixture, IdleAndCloseFromAnotherThreadLeaveNoWindowAndALaterOpenWorks) {
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(openPanel(), 1);
        pump(50);
        host->setParameter(3, static_cast<float>(round % 2));
        std::atomic<bool> closed{false};
        std::thread other([&] {
            for (int i = 0; i < 10; ++i) {
                host->dispatch(effEditIdle);
                Sleep(3);
            }
            host->dispatch(effEditClose);
            closed = true;
        });
        // The window's thread only pumps its messages meanwhile.
        parent.run(5000, idlePeriod, {}, [&] { return closed.load(); });
        other.join();
        parent.run(100, idlePeriod, {});
        EXPECT_EQ(panelWindow(), nullptr);
        EXPECT_FALSE(panelClassRegistered());
    }
    ASSERT_EQ(openPanel(), 1);
    EXPECT_EQ(handleTop(picture(), sustainLeft), 20 + 56 * (1 - 4 % 2));
}
