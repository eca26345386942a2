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
// The two threads' input is joined while the panel lives, so this thread pumps as that one ends.
class ForeignParent {
public:
    ForeignParent()
        : thread([this] {
              {
                  HostWindow window(250, 100);
                  handle = window.handle();
                  window.run(INFINITE, 20, {}, [this] { return done.load(); });
              }
              finished = true;
          }) {
        while (!handle) Sleep(5);
    }
    ~ForeignParent() {
        done = true;
        MSG message;
        while (!finished) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(2);
        }
        thread.join();
    }
    std::atomic<HWND> handle{nullptr};

private:
    std::atomic<bool> done{false};
    std::atomic<bool> finished{false};
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
    VstIntPtr reopened = -1;
    insideTheLoadDialog([&] {
        // The host hides and shows its plug-in window again while the dialog is up.
        host->dispatch(effEditClose);
        reopened = host->dispatch(effEditOpen, 0, 0, parent.handle());
    });
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

TEST_F(PanelInHostFixture, FiveHundredOpenCloseCyclesAcrossTheseCasesKeepTheHandleCounts) {
    HWND parentHandle = parent.handle();
    auto cycle = [&](int step) {
        switch (step % 4) {
            case 0: EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, &parentHandle), 0); break;
            case 1:
                ASSERT_EQ(openPanel(), 1);
                host->setParameter(12, static_cast<float>(step % 8 == 1));
                host->dispatch(effEditIdle);
                host->dispatch(effEditClose);
                break;
            case 2:
                ASSERT_EQ(openPanel(), 1);
                std::thread([this] { host->dispatch(effEditClose); }).join();
                parent.run(1000, idlePeriod, {}, [] { return !panelClassRegistered(); });
                break;
            default:
                ASSERT_EQ(openPanel(), 1);
                pump(idlePeriod);
                host->dispatch(effEditClose);
        }
        EXPECT_EQ(panelWindow(), nullptr);
    };
    // The first cycles may load what the system keeps for good (cursors, OLE's own windows).
    for (int step = 0; step < 8; ++step) cycle(step);
    const DWORD gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int step = 0; step < 500; ++step) cycle(step);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiObjects);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userObjects);
    EXPECT_FALSE(panelClassRegistered());
}

// The rate fader and the sync-mode switch share one place on the panel; LFO Sync On picks which shows.
TEST_F(PanelInHostFixture, SyncChangedFromInsideIdleDuringARateFaderOrSyncModeDragWaitsForTheDragToEnd) {
    for (const bool syncAtStart : {false, true}) {
        const float syncBefore = syncAtStart ? 1.0f : 0.0f;
        const float syncAfter = 1.0f - syncBefore;
        const std::int32_t dragged = syncAtStart ? Parameter::lfoSyncMode : Parameter::lfoFrequency;
        host->setParameter(Parameter::lfoSyncOn, syncBefore);
        ASSERT_EQ(openPanel(), 1);
        pump(100);
        int idles = 0;
        host->onRequest = [&](const PluginHost::Request& request) {
            if (request.opcode == audioMasterIdle && ++idles == 1) host->setParameter(Parameter::lfoSyncOn, syncAfter);
        };
        host->forgetRequests();
        press(232, 24, 600);
        host->onRequest = nullptr;
        EXPECT_GE(idles, 2);
        std::vector<std::pair<std::int32_t, std::int32_t>> edits;
        for (const auto& call : told())
            if (call.opcode != audioMasterAutomate) edits.emplace_back(call.opcode, call.index);
        EXPECT_EQ(edits, (std::vector<std::pair<std::int32_t, std::int32_t>>{{audioMasterBeginEdit, dragged},
                                                                             {audioMasterEndEdit, dragged}}));

        // Afterwards the panel shows the control that the host asked for, and follows the host again.
        auto showsControlFor = [this, syncAtStart](float sync) {
            const PanelPicture panel = picture();
            EXPECT_EQ(handleTop(panel, 223) != -1, sync == 0.0f) << syncAtStart;
            EXPECT_EQ(shows(panel, PanelLayout::control(PanelLayout::syncModeTag).bounds, kSwitchLitStep), sync != 0.0f)
                << syncAtStart;
        };
        showsControlFor(syncAfter);
        host->setParameter(Parameter::lfoSyncOn, syncBefore);
        showsControlFor(syncBefore);
        host->dispatch(effEditClose);
    }
}
