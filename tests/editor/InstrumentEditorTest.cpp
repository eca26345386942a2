#include "PanelFixture.h"
#include "engine/SliceEngine.h"

using namespace Parameter;

namespace {
constexpr PixelPoint attackFader = pointIn(PanelLayout::attackTag);
constexpr PixelPoint filterOnLed = pointIn(PanelLayout::filterOnTag);
constexpr PixelPoint syncOnLed = pointIn(PanelLayout::syncOnTag);
constexpr PixelPoint loadButton = pointIn(PanelLayout::loadTag);
constexpr PixelPoint exportButton = pointIn(PanelLayout::exportTag);
constexpr std::int32_t syncModeTop = PanelLayout::control(PanelLayout::syncModeTag).bounds.top;
}  // namespace

TEST_F(PanelFixture, TheRectIsThePanelsBeforeWhileAndAfterOpen) {
    for (int phase = 0; phase < 3; ++phase) {
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->top, 0);
        EXPECT_EQ(rect->left, 0);
        EXPECT_EQ(rect->bottom, 100);
        EXPECT_EQ(rect->right, 250);
        if (phase == 0) {
            EXPECT_EQ(openPanel(), 1);
        }
        if (phase == 1) dispatch(effEditClose);
    }
    EXPECT_EQ(effect->flags,
              effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
}

TEST_F(PanelFixture, AFreshPanelShowsTheDefaultProgram) {
    ASSERT_EQ(openPanel(), 1);
    window().paint();
    const std::int32_t faders[] = {ampAttack,       ampDecay,        ampSustain, ampRelease,
                                   filterFrequency, filterResonance, lfoAmount,  lfoFrequency};
    const std::int32_t tops[] = {76, 20, 76, 76, 20, 76, 46, 48};
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(fader(faders[i]).handleTop(), tops[i]) << "parameter " << faders[i];
    EXPECT_EQ(editor().controlFor(filterOn)->getValue(), 0.0f);
    EXPECT_EQ(editor().controlFor(lfoSyncOn)->getValue(), 0.0f);
    EXPECT_EQ(stepSwitch(filterMode).shownImage(), 0);
    EXPECT_TRUE(editor().frame()->contains(&fader(lfoFrequency)));
    EXPECT_FALSE(editor().frame()->contains(&stepSwitch(lfoSyncMode)));
}

TEST_F(PanelFixture, AFaderPressAutomatesItsParameterBetweenBeginAndEndEditOfThatParameter) {
    openPanel();
    window().paint();
    float expected = 1.0f;
    for (std::int32_t y = 23; y <= 79; y += 7, expected -= 0.125f) {
        requests.clear();
        press(attackFader.x, y);
        const std::vector<Request> calls = told();
        ASSERT_EQ(calls.size(), 3u) << "y " << y;
        EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
        EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
        for (const Request& call : calls) EXPECT_EQ(call.index, ampAttack);
        EXPECT_EQ(calls[1].value, expected);
    }
}

TEST_F(PanelFixture, SwitchesAndLedsReportOnlyTheirOwnParameter) {
    openPanel();
    window().paint();
    press(filterOnLed.x, filterOnLed.y);
    std::vector<Request> calls = told();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, filterOn);
    EXPECT_EQ(calls[0].value, 1.0f);

    requests.clear();
    press(syncOnLed.x, syncOnLed.y);
    calls = told();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, lfoSyncOn);
    EXPECT_TRUE(editor().frame()->contains(&stepSwitch(lfoSyncMode)));
    EXPECT_FALSE(editor().frame()->contains(&fader(lfoFrequency)));

    requests.clear();
    for (std::int32_t offset : {49, 0, 9, 19, 29, 39}) press(230, syncModeTop + offset);
    std::vector<float> modes;
    for (const Request& call : told())
        if (call.opcode == audioMasterAutomate && call.index == lfoSyncMode) modes.push_back(call.value);
    EXPECT_EQ(modes, (std::vector<float>{1.0f, 0.0f, 0.2f, 0.4f, 0.6f, 0.8f}));
}

TEST_F(PanelFixture, ControlClickSetsTheDefaultAndOtherButtonsChangeNothing) {
    openPanel();
    window().paint();
    press(attackFader.x, 51);
    requests.clear();
    press(attackFader.x, 30, kRightButton);
    press(attackFader.x, 30, kMiddleButton);
    EXPECT_TRUE(told().empty());
    press(attackFader.x, 30, kLeftButton | kControlKey);
    const std::vector<Request> calls = told();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, ampAttack);
    EXPECT_EQ(calls[0].value, 0.0f);
}

TEST_F(PanelFixture, TheLoadButtonOpensItsDialogWhileHeldAndLoadsTheChosenLoop) {
    const std::string loop = writeLoopFile(dir, "eight.rex", eightSliceLoop());
    openPanel();
    window().paint();
    bool heldWhileOpen = false;
    services.whileOpen = [&] { heldWhileOpen = platform.pointer().samplesLeft() > 0; };
    services.chosenPath.clear();
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    EXPECT_EQ(instrument->program(0).path[0], '\0');
    services.chosenPath = loop;
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    ASSERT_EQ(services.dialogs.size(), 2u);
    EXPECT_STREQ(services.dialogs[1].title, "Load Rex File");
    EXPECT_EQ(services.owners[1], editor().frame()->windowHandle());
    EXPECT_TRUE(heldWhileOpen);
    EXPECT_EQ(std::string(instrument->program(0).path), loop);
    EXPECT_EQ(instrument->soundEngine().bank().count(), 8);
    for (const Request& call : told()) EXPECT_NE(call.opcode, audioMasterBeginEdit);
}

TEST_F(PanelFixture, ExportWithoutALoopSaysSo) {
    openPanel();
    window().paint();
    press(exportButton.x, exportButton.y);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.dialogs.empty());
}

TEST_F(PanelFixture, HostChangesShowAtTheNextIdleAsTheSoundUsesThem) {
    openPanel();
    window().paint();
    effect->setParameter(effect, ampSustain, 0.5f);
    effect->setParameter(effect, filterMode, 0.4f);
    effect->setParameter(effect, lfoSyncMode, 0.3f);
    effect->setParameter(effect, lfoSyncOn, 1.0f);
    EXPECT_EQ(fader(ampSustain).getValue(), 0.0f);
    dispatch(effEditIdle);
    EXPECT_EQ(fader(ampSustain).handleTop(), 48);
    EXPECT_EQ(stepSwitch(filterMode).shownImage(), 1);
    EXPECT_EQ(stepSwitch(lfoSyncMode).getValue(), 1.0f);
    EXPECT_EQ(effect->getParameter(effect, lfoSyncMode), 0.3f);
    EXPECT_TRUE(editor().frame()->contains(&stepSwitch(lfoSyncMode)));

    // A program change shows every bound control after one idle, the sync LED and switch included.
    dispatch(effSetProgram, 0, 1);
    dispatch(effEditIdle);
    EXPECT_EQ(editor().controlFor(lfoSyncOn)->getValue(), 0.0f);
    EXPECT_TRUE(editor().frame()->contains(&fader(lfoFrequency)));
    EXPECT_EQ(fader(ampSustain).getValue(), 0.0f);
    EXPECT_EQ(stepSwitch(filterMode).shownImage(), 0);
    for (std::int32_t parameter = 0; parameter < Parameter::count; ++parameter) {
        if (ValueControl* control = editor().controlFor(parameter)) {
            EXPECT_EQ(control->getValue(), effect->getParameter(effect, parameter)) << "parameter " << parameter;
        }
    }
}

TEST_F(PanelFixture, TheExchangeLeavesNoPixelsOfTheRemovedFader) {
    openPanel();
    window().paint();
    press(230, 23);  // the rate fader's handle to the top, where the switch does not reach
    press(syncOnLed.x, syncOnLed.y);
    const RgbImage exchanged = window().screen();
    dispatch(effEditClose);
    openPanel();
    window().paint();
    const RgbImage openedWithSync = window().screen();
    for (std::int32_t x = 223; x < 242; ++x) {
        for (std::int32_t y : {20, 21, 81, 82, 83, 84}) {
            EXPECT_TRUE(exchanged.pixel(x, y).sameRgb(openedWithSync.pixel(x, y))) << "x " << x << " y " << y;
        }
    }
}
