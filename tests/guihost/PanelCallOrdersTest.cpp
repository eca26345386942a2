#include "PanelInHostFixture.h"

#include <atomic>

namespace {
using namespace PanelLayout;
constexpr int decayX = centre(control(decayTag)).x;
constexpr Point syncOn = centre(control(syncOnTag));
constexpr Point exportButton = centre(control(exportTag));
constexpr Rect syncMode = control(syncModeTag).bounds;
}  // namespace

TEST_F(PanelInHostFixture, ControlsReportExactlyTheirOwnParameterAndValues) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    // A quick click, released before the panel handles it, acts once.
    const Point filterOn = centre(control(filterOnTag));
    SetCursorPos(HostWindow::spotX + filterOn.x, HostWindow::spotY + filterOn.y);
    pump(30);
    sendButton(MOUSEEVENTF_LEFTDOWN);
    sendButton(MOUSEEVENTF_LEFTUP);
    pump(200);
    auto calls = told();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 8);
    EXPECT_EQ(calls[0].opt, 1.0f);

    host->forgetRequests();
    press(syncOn.x, syncOn.y);
    calls = told();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 12);
    const PanelPicture exchanged = picture();
    EXPECT_EQ(handleTop(exchanged, control(lfoRateTag).bounds.left), -1);
    EXPECT_TRUE(shows(exchanged, syncMode, kSwitchLitStep));

    host->forgetRequests();
    for (int offset : {49, 0, 9, 19, 29, 39}) press(centre(control(syncModeTag)).x, syncMode.top + offset);
    std::vector<float> modes;
    for (const auto& call : told())
        if (call.opcode == audioMasterAutomate) modes.push_back(call.opt);
    EXPECT_EQ(modes, (std::vector<float>{1.0f, 0.0f, 0.2f, 0.4f, 0.6f, 0.8f}));

    host->forgetRequests();
    for (DWORD button : {DWORD{MOUSEEVENTF_RIGHTDOWN}, DWORD{MOUSEEVENTF_MIDDLEDOWN}}) {
        sendButton(button);
        sendButton(button << 1);
        pump(100);
    }
    EXPECT_TRUE(told().empty());
}

TEST_F(PanelInHostFixture, ExportWithoutALoopShowsTheMessageAndWithOneWritesTheGroove) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    DialogDriver message("Brevatone", "");
    press(exportButton.x, exportButton.y, 3000);
    EXPECT_TRUE(message.finish());
}

TEST_F(PanelInHostFixture, TheHostMayCloseFromInsideIdleDuringADrag) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    int idles = 0;
    host->onRequest = [&](const PluginHost::Request& request) {
        if (request.opcode != audioMasterIdle) return;
        if (++idles == 1) host->dispatch(effSetProgram, 0, 2);
        if (idles == 3) host->dispatch(effEditClose);
    };
    press(decayX, 40, 600);
    host->onRequest = nullptr;
    EXPECT_GE(idles, 3);
    EXPECT_EQ(panelWindow(), nullptr);

    ASSERT_EQ(openPanel(), 1);
    pump(100);
    idles = 0;
    host->onRequest = [&](const PluginHost::Request& request) {
        if (request.opcode == audioMasterIdle && ++idles == 1) host->close();
    };
    press(decayX, 40, 600);
    EXPECT_EQ(panelWindow(), nullptr);
}

TEST_F(PanelInHostFixture, AutomationEchoedAndFromTheAudioThreadDuringDragsEndsOnTheStoredValue) {
    ASSERT_EQ(openPanel(), 1);
    pump(100);
    host->onRequest = [&](const PluginHost::Request& request) {
        if (request.opcode == audioMasterAutomate) host->setParameter(request.index, request.opt);
    };
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* outputs[2] = {left.data(), right.data()};
        for (int step = 0; running; ++step) {
            host->setParameter(5, static_cast<float>(step % 10) / 10.0f);
            host->processReplacing(outputs, 256);
            Sleep(1);
        }
    });
    for (int y : {30, 50, 70}) press(decayX, y, 300);
    running = false;
    audio.join();
    host->setParameter(5, 1.0f);
    host->onRequest = nullptr;
    host->dispatch(effEditIdle);
    const PanelPicture panel = picture();
    EXPECT_EQ(handleTop(panel, 69), 20 + static_cast<int>(56.0f * (1.0f - host->getParameter(2))));
    EXPECT_EQ(handleTop(panel, 146), 20);
}

TEST_F(PanelInHostFixture, LifecycleCallOrdersLeaveNoWindowBehind) {
    // The parent goes first, then the host closes the editor.
    ASSERT_EQ(openPanel(), 1);
    pump(50);
    parent.destroy();
    host->dispatch(effEditIdle);
    host->dispatch(effEditClose);

    // Cycles, each with a new parent, sync alternating (the leak count over many runs natively).
    for (int cycle = 0; cycle < 6; ++cycle) {
        HostWindow fresh(250, 100);
        host->setParameter(12, static_cast<float>(cycle % 2));
        ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, fresh.handle()), 1);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
        ASSERT_EQ(FindWindowExA(fresh.handle(), nullptr, nullptr, nullptr), nullptr);
    }

    // Two instances, opened and closed interleaved; then effClose with the panel open and the
    // library freed while messages still pump.
    HostWindow first(250, 100);
    HostWindow second(250, 100);
    PluginHost other(*library);
    ASSERT_NE(other.open(), nullptr);
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, first.handle()), 1);
    ASSERT_EQ(other.dispatch(effEditOpen, 0, 0, second.handle()), 1);
    host->dispatch(effEditClose);
    other.dispatch(effEditIdle);
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, first.handle()), 1);
    other.dispatch(effEditClose);
    other.close();
    host->close();
    library.reset();
    second.run(200, idlePeriod, {});
    EXPECT_EQ(FindWindowExA(first.handle(), nullptr, nullptr, nullptr), nullptr);
}

TEST_F(PanelInHostFixture, APanelOpenBeforeAnyAudioIdlesEveryFiftyMillisecondsForItsLife) {
    ERect* rect = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_EQ(openPanel(), 1);
    host->dispatch(effEditGetRect, 0, 0, &rect);
    parent.run(300, 50, [this] { host->dispatch(effEditIdle); });
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    host->processReplacing(outputs, 512);
    host->setParameter(3, 1.0f);
    parent.run(200, 50, [this] { host->dispatch(effEditIdle); });
    EXPECT_EQ(handleTop(PanelPicture::of(panelWindow()), 93), 20);
}
