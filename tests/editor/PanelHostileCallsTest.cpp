#include "PanelFixture.h"
#include "engine/SliceEngine.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/RexFileWriter.h"

#include <cmath>
#include <fstream>
#include <limits>

using namespace Parameter;

namespace {

constexpr PixelPoint loadButton = pointIn(PanelLayout::loadTag);
constexpr PixelPoint attackFader = pointIn(PanelLayout::attackTag);
// On the rate fader's handle at its default (the top), and inside the sync-mode switch.
constexpr const PanelLayout::Control& rateFader = PanelLayout::control(PanelLayout::lfoRateTag);
constexpr PixelPoint rateOrSyncMode{pointIn(PanelLayout::lfoRateTag).x,
                                    rateFader.highestHandleTop + PanelLayout::handleHeight / 2};
static_assert(rateFader.defaultValue == 1.0f, "the press lands on the handle at its default");

}  // namespace

TEST_F(PanelFixture, SyncOnFromInsideADragOfTheRateFaderOrSyncModeSwitchWaitsForTheDragToEnd) {
    for (const bool syncAtStart : {false, true}) {
        const float syncBefore = syncAtStart ? 1.0f : 0.0f;
        const float syncAfter = 1.0f - syncBefore;
        const std::int32_t dragged = syncAtStart ? lfoSyncMode : lfoFrequency;
        effect->setParameter(effect, lfoSyncOn, syncBefore);
        openPanel();
        window().paint();
        requests.clear();
        int idles = 0;
        hostReaction = [&](const Request& request) {
            if (request.opcode == audioMasterIdle && ++idles == 1) effect->setParameter(effect, lfoSyncOn, syncAfter);
        };
        press(rateOrSyncMode.x, rateOrSyncMode.y, kLeftButton, 60);
        hostReaction = nullptr;
        EXPECT_GE(idles, 2);
        std::vector<std::int32_t> begun;
        std::vector<std::int32_t> ended;
        for (const Request& call : told()) {
            if (call.opcode == audioMasterBeginEdit) begun.push_back(call.index);
            if (call.opcode == audioMasterEndEdit) ended.push_back(call.index);
        }
        EXPECT_EQ(begun, std::vector<std::int32_t>{dragged});
        EXPECT_EQ(ended, std::vector<std::int32_t>{dragged});

        // Afterwards the panel shows what the host asked for, and follows the host again.
        dispatch(effEditIdle);
        EXPECT_EQ(editor().frame()->contains(&fader(lfoFrequency)), syncAfter == 0.0f);
        EXPECT_EQ(editor().frame()->contains(&stepSwitch(lfoSyncMode)), syncAfter != 0.0f);
        effect->setParameter(effect, lfoSyncOn, syncBefore);
        dispatch(effEditIdle);
        EXPECT_EQ(editor().frame()->contains(&fader(lfoFrequency)), syncBefore == 0.0f);
        dispatch(effEditClose);
    }
}

TEST_F(PanelFixture, CloseAndOpenFromInsideTheLoadDialogLeaveOneWorkingPanel) {
    openPanel();
    window().paint();
    const std::int32_t widgetsOfOnePanel = Widget::liveCount();
    VstIntPtr reopened = -1;
    services.whileOpen = [&] {
        dispatch(effEditClose);
        reopened = openPanel();
    };
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    services.whileOpen = nullptr;
    EXPECT_EQ(reopened, 1);
    ASSERT_NE(editor().frame(), nullptr);
    EXPECT_EQ(Widget::liveCount(), widgetsOfOnePanel);
    window().paint();
    requests.clear();
    press(attackFader.x, 23, kLeftButton, 2);
    ASSERT_FALSE(told().empty());
    EXPECT_EQ(told().front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(told().front().index, ampAttack);

    // An open without a parent is refused, and like a close it waits for the press to end.
    bool panelStillThere = false;
    services.whileOpen = [&] {
        EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
        panelStillThere = editor().frame() != nullptr;
    };
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    EXPECT_TRUE(panelStillThere);
    EXPECT_EQ(editor().frame(), nullptr);
}

// The host reads back, and a panel opened later shows, the same finite value the open panel shows.
TEST_F(PanelFixture, NonFiniteValuesShowAndStoreTheLastFiniteOne) {
    openPanel();
    window().paint();
    effect->setParameter(effect, ampAttack, 0.25f);
    effect->setParameter(effect, lfoSyncOn, 1.0f);
    dispatch(effEditIdle);
    for (const float nonFinite : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity()}) {
        effect->setParameter(effect, ampAttack, nonFinite);
        effect->setParameter(effect, lfoSyncOn, nonFinite);
        dispatch(effEditIdle);
        window().paint();
        EXPECT_EQ(fader(ampAttack).getValue(), 0.25f);
        EXPECT_EQ(effect->getParameter(effect, ampAttack), 0.25f);
        EXPECT_EQ(effect->getParameter(effect, lfoSyncOn), 1.0f);
        const RgbPicture live = window().screen().picture();
        dispatch(effEditClose);
        openPanel();
        window().paint();
        EXPECT_EQ(fader(ampAttack).getValue(), 0.25f);
        EXPECT_TRUE(window().screen().picture() == live) << "a fresh panel differs from the open one";
    }
}

TEST_F(PanelFixture, ALoopThatFailsToLoadFromTheDialogKeepsTheEarlierOneAndSaysWhy) {
    const std::string loop = writeLoopFile(dir, "eight.rex", eightSliceLoop());
    const std::string damaged = dir.file("damaged.rex");
    std::ofstream(damaged, std::ios::binary) << "FORM, but no loop follows";
    const std::string missing = dir.file("missing.rex");
    // A format stating one sample value more than a loop may hold is refused before any is read.
    RexFileWriter oversized = RexFileWriter::forLoop(eightSliceLoop());
    const auto frames = static_cast<std::uint32_t>(maximumLoopSamples + 1);
    const std::uint8_t framesBytes[4] = {static_cast<std::uint8_t>(frames >> 24),
                                         static_cast<std::uint8_t>(frames >> 16),
                                         static_cast<std::uint8_t>(frames >> 8), static_cast<std::uint8_t>(frames)};
    std::copy(framesBytes, framesBytes + 4, oversized.chunk("COMM").body.begin() + 2);
    const std::string huge = dir.file("huge.rex");
    ASSERT_TRUE(oversized.write(huge));
    openPanel();
    window().paint();
    services.chosenPath = loop;
    press(loadButton.x, loadButton.y, kLeftButton, 3);
    ASSERT_EQ(instrument->soundEngine().bank().count(), 8);
    for (const std::string& bad : {damaged, missing, huge}) {
        services.chosenPath = bad;
        press(loadButton.x, loadButton.y, kLeftButton, 3);
        EXPECT_EQ(instrument->soundEngine().bank().count(), 8);
        EXPECT_EQ(std::string(instrument->program(0).path), loop);
        ASSERT_FALSE(services.notices.empty());
        EXPECT_NE(services.notices.back().text.find(bad), std::string::npos) << services.notices.back().text;
    }
    EXPECT_NE(services.notices.back().text.find(maximumLoopSamplesText), std::string::npos);
    EXPECT_EQ(services.notices.size(), 3u);
    EXPECT_TRUE(services.messages.empty());

    // A restored bank whose loop fails keeps naming it and plays silence, as saved projects expect.
    std::vector<ProgramRecord> bank(Instrument::programTotal, instrument->program(0));
    std::snprintf(bank[0].path, sizeof bank[0].path, "%s", missing.c_str());
    dispatch(effSetChunk, 0, Instrument::bankChunkSize, bank.data());
    EXPECT_EQ(instrument->soundEngine().bank().count(), 0);
    EXPECT_EQ(std::string(instrument->program(0).path), missing);
}
