#include "PanelFixture.h"
#include "gui/SkinBitmap.h"

using namespace Parameter;

namespace {

constexpr PixelPoint loadButton{20, 30};
constexpr PixelPoint decayFader{78, 50};

// Nothing of any panel is left: no widget, no bitmap, no window.
void expectNothingLeft(const SoftwarePlatform& platform) {
    EXPECT_EQ(Widget::liveCount(), 0);
    EXPECT_EQ(SkinBitmap::liveCount(), 0);
    EXPECT_EQ(platform.lastWindow(), nullptr);
}

}  // namespace

TEST_F(PanelFixture, OpenTwiceReplacesThePanelAndCloseWithoutOneDoesNothing) {
    dispatch(effEditClose);
    ASSERT_EQ(openPanel(), 1);
    const std::int32_t widgets = Widget::liveCount();
    ASSERT_EQ(openPanel(), 1);
    EXPECT_EQ(Widget::liveCount(), widgets);
    dispatch(effEditClose);
    dispatch(effEditClose);
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, ANullParentIsRefusedAndLeavesNothing) {
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, ManyCyclesWithSyncAlternatingLeakNothing) {
    for (int cycle = 0; cycle < 500; ++cycle) {
        effect->setParameter(effect, lfoSyncOn, static_cast<float>(cycle % 2));
        ASSERT_EQ(openPanel(), 1);
        window().paint();
        dispatch(effEditIdle);
        dispatch(effEditClose);
    }
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, TheParentMayGoBeforeEditClose) {
    openPanel();
    window().paint();
    window().destroyWithParent();
    effect->setParameter(effect, ampDecay, 0.25f);
    dispatch(effEditIdle);
    dispatch(effEditClose);
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, EffCloseWithThePanelOpenTakesThePanelAlong) {
    openPanel();
    window().paint();
    dispatch(effClose);
    effect = nullptr;
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, HostCallsFromInsideTheLoadDialogWaitForThePressToEnd) {
    openPanel();
    window().paint();
    bool panelStillThere = false;
    services.whileOpen = [&] {
        dispatch(effSetProgram, 0, 2);
        void* bank = nullptr;
        const auto size = static_cast<std::int32_t>(dispatch(effGetChunk, 0, 0, &bank));
        std::vector<unsigned char> copy(static_cast<unsigned char*>(bank), static_cast<unsigned char*>(bank) + size);
        dispatch(effSetChunk, 0, size, copy.data());
        dispatch(effEditClose);
        panelStillThere = editor().frame() != nullptr;
    };
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    EXPECT_TRUE(panelStillThere);
    EXPECT_EQ(editor().frame(), nullptr);
    expectNothingLeft(platform);

    openPanel();
    window().paint();
    services.whileOpen = [&] { dispatch(effClose); };
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    effect = nullptr;
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, HostCallsFromInsideIdleDuringADragWaitForTheDragToEnd) {
    openPanel();
    window().paint();
    int idles = 0;
    hostReaction = [&](const Request& request) {
        if (request.opcode != audioMasterIdle) return;
        if (++idles == 1) dispatch(effSetProgram, 0, 3);
        if (idles == 2) dispatch(effEditClose);
    };
    press(decayFader.x, decayFader.y, kLeftButton, 60);
    EXPECT_GE(idles, 2);
    EXPECT_EQ(editor().frame(), nullptr);

    openPanel();
    window().paint();
    idles = 0;
    hostReaction = [&](const Request& request) {
        if (request.opcode == audioMasterIdle && ++idles == 1) dispatch(effClose);
    };
    press(decayFader.x, decayFader.y, kLeftButton, 60);
    effect = nullptr;
    hostReaction = nullptr;
    expectNothingLeft(platform);
}

TEST_F(PanelFixture, EchoedAutomationLeavesThePanelOnTheStoredValues) {
    openPanel();
    window().paint();
    hostReaction = [&](const Request& request) {
        if (request.opcode == audioMasterAutomate) effect->setParameter(effect, request.index, request.value);
    };
    std::vector<ScriptedPointer::Sample> drag;
    for (std::int32_t y = 20; y < 80; ++y) drag.push_back({{decayFader.x, y}, kLeftButton});
    drag.push_back({{decayFader.x, 80}, 0});
    platform.pointer().script(drag);
    window().press(decayFader, kLeftButton);
    dispatch(effEditIdle);
    EXPECT_EQ(fader(ampDecay).getValue(), effect->getParameter(effect, ampDecay));
    EXPECT_EQ(fader(ampDecay).getValue(), 0.0f);
}

TEST_F(PanelFixture, TwoInstancesOpenAndCloseInterleaved) {
    Instrument* second = new Instrument(host, services, &platform);
    AEffect* other = second->effect();
    openPanel();
    ASSERT_EQ(other->dispatcher(other, effEditOpen, 0, 0, &parentWindow, 0.0f), 1);
    dispatch(effEditClose);
    other->dispatcher(other, effEditIdle, 0, 0, nullptr, 0.0f);
    openPanel();
    other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
    dispatch(effEditClose);
    expectNothingLeft(platform);
}
