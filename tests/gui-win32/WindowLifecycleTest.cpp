#include "WindowTesting.h"
#include "gui/EditorFrame.h"
#include "gui/GuiPlatform.h"
#include "gui/PaintContext.h"
#include "platform/WindowSystem.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/WindowClass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr PixelRect panel{0, 0, 250, 100};

bool classRegistered() {
    WNDCLASSA found{};
    return GetClassInfoA(moduleInstance(), WindowClass::name(), &found) != 0;
}

class WindowLifecycle : public ::testing::Test {
protected:
    std::unique_ptr<EditorFrame> openFrame(void* parent) {
        return std::make_unique<EditorFrame>(*windowSystem(), panel, parent, &editor);
    }
    QuietEditor editor;
};

TEST_F(WindowLifecycle, TheClassIsNamedAfterTheModuleAndSharedUntilTheLastWindowGoes) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "Plugin%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_STREQ(WindowClass::name(), expected);

    HostWindow host;
    auto first = openFrame(host.handle());
    auto second = openFrame(host.handle());
    ASSERT_TRUE(first->hasWindow());
    ASSERT_TRUE(second->hasWindow());
    char className[64] = {};
    GetClassNameA(static_cast<HWND>(first->windowHandle()), className, sizeof className);
    EXPECT_STREQ(className, expected);
    RECT place{};
    GetClientRect(static_cast<HWND>(first->windowHandle()), &place);
    EXPECT_EQ(place.right, 250);
    EXPECT_EQ(place.bottom, 100);
    first.reset();
    EXPECT_TRUE(classRegistered());
    second.reset();
    EXPECT_FALSE(classRegistered());
}

TEST_F(WindowLifecycle, ANullDeadOrGarbageParentIsRefusedAndLeavesNothingBehind) {
    const int freeBefore = freeGdiHandles();
    HWND dead;
    {
        HostWindow host;
        dead = host.handle();
    }
    for (void* parent : {static_cast<void*>(nullptr), static_cast<void*>(dead),
                         reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x5EADBEE0))}) {
        auto frame = openFrame(parent);
        EXPECT_FALSE(frame->hasWindow());
        EXPECT_FALSE(frame->setDropActive(true));
        frame->idle();
        EXPECT_FALSE(classRegistered());
    }
    EXPECT_EQ(freeGdiHandles(), freeBefore);
}

TEST_F(WindowLifecycle, AParentDestroyedFirstClosesTheFrameCleanly) {
    HostWindow host;
    auto frame = openFrame(host.handle());
    ASSERT_TRUE(frame->hasWindow());
    host.destroy();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->windowHandle(), nullptr);
    EXPECT_EQ(frame->parentWindow(), nullptr);
    frame->idle();
    frame->redraw(nullptr);
    frame.reset();
    EXPECT_FALSE(classRegistered());
}

TEST_F(WindowLifecycle, AThousandFramesLeaveTheFreeGdiHandlesAsTheyWere) {
    HostWindow host;
    const int freeBefore = freeGdiHandles();
    for (int i = 0; i < 1000; ++i) {
        auto frame = openFrame(host.handle());
        ASSERT_TRUE(frame->hasWindow());
        pumpWaitingMessages();
        frame->redraw(nullptr);
    }
    EXPECT_EQ(freeGdiHandles(), freeBefore);
    EXPECT_FALSE(classRegistered());
}

TEST_F(WindowLifecycle, TwoThreadsOpeningAndClosingEditorsShareTheClassSafely) {
    std::atomic<int> running{2};
    std::atomic<int> windowsMade{0};
    auto openAndClose = [&] {
        QuietEditor ownEditor;
        for (int i = 0; i < 100; ++i) {
            HostWindow host;
            EditorFrame frame(*windowSystem(), panel, host.handle(), &ownEditor);
            if (frame.hasWindow()) ++windowsMade;
        }
        --running;
    };
    std::thread first(openAndClose);
    std::thread second(openAndClose);
    // The host windows' ancestor lives on this thread and must keep answering.
    while (running > 0) {
        pumpWaitingMessages();
        Sleep(1);
    }
    first.join();
    second.join();
    EXPECT_EQ(windowsMade, 200);
    EXPECT_FALSE(classRegistered());
}

}  // namespace
