#include "PanelInHostFixture.h"

#include "LoopFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace {
using namespace PanelLayout;
constexpr Tag faderTags[] = {attackTag,          decayTag,           sustainTag,   releaseTag,
                             filterFrequencyTag, filterResonanceTag, lfoAmountTag, lfoRateTag};

struct TextSearch {
    const std::string& words;
    HWND found;
};

BOOL CALLBACK findWindowSaying(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TextSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[2048] = {};
        GetWindowTextA(child, text, sizeof text);
        if (std::strstr(text, search->words.c_str())) search->found = window;
    }
    return search->found ? FALSE : TRUE;
}

// A top-level window of this process with a child whose text contains `words`, waited for up to
// ten seconds: notices come from threads of their own.
HWND windowSaying(const std::string& words) {
    TextSearch search{words, nullptr};
    for (int attempt = 0; attempt < 200 && !search.found; ++attempt) {
        EnumWindows(findWindowSaying, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(50);
    }
    return search.found;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}
}  // namespace

TEST_F(PanelInHostFixture, OpenMakesOneChildOfThePanelsSizeAndCloseRemovesItAndItsClass) {
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->bottom, 100);
    EXPECT_EQ(rect->right, 250);
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
    ASSERT_EQ(openPanel(), 1);
    HWND panel = panelWindow();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(FindWindowExA(parent.handle(), panel, nullptr, nullptr), nullptr);
    RECT area{};
    GetWindowRect(panel, &area);
    EXPECT_EQ(area.left, HostWindow::spotX);
    EXPECT_EQ(area.top, HostWindow::spotY);
    EXPECT_EQ(area.right - area.left, 250);
    EXPECT_EQ(area.bottom - area.top, 100);
    HMODULE module = GetModuleHandleA(BREVATONE_PLUGIN_FILE);
    char expectedClass[32];
    // The module handle at full width: a 64-bit library may be mapped above 4 GiB.
    std::snprintf(expectedClass, sizeof expectedClass, "Plugin%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(module)));
    EXPECT_EQ(classOf(panel), expectedClass);
    host->dispatch(effEditClose);
    EXPECT_EQ(panelWindow(), nullptr);
    WNDCLASSA registered{};
    EXPECT_FALSE(GetClassInfoA(module, expectedClass, &registered));
}

TEST_F(PanelInHostFixture, AFreshPanelReadsBackWithTheDefaultProgram) {
    ASSERT_EQ(openPanel(), 1);
    const PanelPicture panel = picture();
    const int expectedTops[] = {76, 20, 76, 76, 20, 76, 46, 48};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(handleTop(panel, control(faderTags[i]).bounds.left), expectedTops[i]) << control(faderTags[i]).name;
    EXPECT_TRUE(shows(panel, control(filterOnTag).bounds, kLedOff));
    EXPECT_TRUE(shows(panel, control(syncOnTag).bounds, kLedOff));
    EXPECT_FALSE(shows(panel, control(filterOnTag).bounds, kLedOn));
    EXPECT_FALSE(shows(panel, control(syncOnTag).bounds, kLedOn));
    const Rect mode = control(filterModeTag).bounds;
    const int middle = mode.top + mode.height() / 2;
    EXPECT_TRUE(shows(panel, {mode.left, mode.top, mode.right, middle}, kModeLedOn));
    EXPECT_FALSE(shows(panel, {mode.left, middle, mode.right, mode.bottom}, kModeLedOn));
}

TEST_F(PanelInHostFixture, FaderPressesAutomateBetweenBeginAndEndEditOfTheirParameter) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    float expected = 1.0f;
    for (int y = 23; y <= 79; y += 7, expected -= 0.125f) {
        host->forgetRequests();
        press(pointIn(attackTag).x, y);
        const auto calls = told();
        ASSERT_GE(calls.size(), 3u) << "y " << y;
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
        for (const auto& call : calls) EXPECT_EQ(call.index, 1);
        EXPECT_EQ(calls[calls.size() - 2].opt, expected);
    }
    EXPECT_EQ(handleTop(picture(), 45), 76);
}

TEST_F(PanelInHostFixture, HostChangesShowAfterTheNextIdleAndNotBefore) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    host->setParameter(3, 1.0f);
    EXPECT_EQ(handleTop(PanelPicture::of(panelWindow()), 93), 76);
    host->dispatch(effEditIdle);
    EXPECT_EQ(handleTop(PanelPicture::of(panelWindow()), 93), 20);
}

TEST_F(PanelInHostFixture, TheLoadButtonOpensItsDialogWhileHeldAndLoadsTheChosenLoop) {
    TempDir dir;
    const std::string loop = writeLoopFile(dir, "eight.rex", eightSliceLoop());
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    {
        DialogDriver cancel("Load Rex File", "");
        press(pointIn(loadTag).x, pointIn(loadTag).y, 4000);
        EXPECT_TRUE(cancel.finish());
    }
    void* chunk = nullptr;
    host->dispatch(effGetChunk, 1, 0, &chunk);
    EXPECT_STREQ(static_cast<const char*>(chunk), "");
    {
        DialogDriver choose("Load Rex File", loop);
        press(pointIn(loadTag).x, pointIn(loadTag).y, 4000);
        EXPECT_TRUE(choose.finish());
        EXPECT_TRUE(choose.appearedWhilePressed());
    }
    host->dispatch(effGetChunk, 1, 0, &chunk);
    EXPECT_STREQ(static_cast<const char*>(chunk), loop.c_str());
    for (const auto& call : told()) EXPECT_NE(call.opcode, audioMasterBeginEdit);
}

TEST_F(PanelInHostFixture, EffCloseAndUnloadFromInsideTheDialogLeaveNothingBehind) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    bool closedInside = false;
    insideTheLoadDialog([&] {
        // The host closes and unloads from its own code while the dialog is up.
        host->dispatch(effEditClose);
        host->close();
        library.reset();
        closedInside = true;
    });
    EXPECT_TRUE(closedInside);
    EXPECT_EQ(panelWindow(), nullptr);
}

TEST_F(PanelInHostFixture, ALoopThatFailsToLoadFromTheDialogKeepsTheEarlierOnePlayingAndNamesTheFile) {
    TempDir dir;
    const std::string loop = writeLoopFile(dir, "eight.rex", eightSliceLoop());
    const std::string damaged = dir.file("damaged.rex");
    std::ofstream(damaged, std::ios::binary) << "FORM, but no loop follows";
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    auto choose = [this](const std::string& path) {
        DialogDriver dialog("Load Rex File", path);
        press(pointIn(loadTag).x, pointIn(loadTag).y, 4000);
        EXPECT_TRUE(dialog.finish());
    };
    auto plays = [this] {
        std::vector<VstMidiEvent> note = {EventList::midiEvent(0, 0x90, 36, 127),
                                          EventList::midiEvent(63, 0x80, 36, 0)};
        host->sendEvents(note);
        std::vector<float> left(64), right(64);
        float* outputs[2] = {left.data(), right.data()};
        host->processReplacing(outputs, 64);
        return std::any_of(left.begin(), left.end(), [](float sample) { return sample != 0.0f; });
    };
    choose(loop);
    ASSERT_TRUE(plays());

    for (const std::string& bad : {damaged, dir.file("missing.rex")}) {
        choose(bad);
        HWND notice = windowSaying(bad);
        EXPECT_NE(notice, nullptr) << bad;
        // The press came back while the notice is up: it holds nobody.
        EXPECT_TRUE(plays()) << bad;
        void* chunk = nullptr;
        host->dispatch(effGetChunk, 1, 0, &chunk);
        EXPECT_STREQ(static_cast<const char*>(chunk), loop.c_str());
        if (notice) PostMessageA(notice, WM_CLOSE, 0, 0);
    }
}
