#include "instrument/TempoFollow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
VstTimeInfo transport(double tempo, double positionInBar) {
    VstTimeInfo time{};
    time.tempo = tempo;
    time.barStartPos = 16.0;
    time.ppqPos = 16.0 + positionInBar;
    time.flags = kVstPpqPosValid | kVstBarsValid | kVstTempoValid;
    return time;
}
}  // namespace

TEST(TempoFollow, TheRequestMaskIsTheTransportPositionAndTempoSet) {
    EXPECT_EQ(TempoFollow::timeRequestMask, 0x3E07);
}

TEST(TempoFollow, EachSyncModeGivesItsNoteValue) {
    const VstTimeInfo time = transport(120.0, 0.0);
    EXPECT_EQ(TempoFollow::follow(&time, 0.0f, 512).lfoRate, 4);
    EXPECT_EQ(TempoFollow::follow(&time, 0.2f, 512).lfoRate, 16);
    EXPECT_EQ(TempoFollow::follow(&time, 0.4f, 512).lfoRate, 48);
    EXPECT_EQ(TempoFollow::follow(&time, 0.6f, 512).lfoRate, 32);
    EXPECT_EQ(TempoFollow::follow(&time, 0.8f, 512).lfoRate, 96);
    EXPECT_EQ(TempoFollow::follow(&time, 0.5f, 512).lfoRate, 64);
}

TEST(TempoFollow, TheBarLineRestartIsScheduledOnlyWithinTheBlock) {
    const VstTimeInfo time = transport(120.0, 3.5);
    const TempoFollow inBlock = TempoFollow::follow(&time, 0.6f, 16384);
    EXPECT_TRUE(inBlock.valid);
    EXPECT_EQ(inBlock.restartSteps, 11024);
    EXPECT_EQ(TempoFollow::follow(&time, 0.6f, 512).restartSteps, TempoFollow::noRestart);
    const VstTimeInfo early = transport(120.0, 2.99);
    EXPECT_EQ(TempoFollow::follow(&early, 0.6f, 1 << 20).restartSteps, TempoFollow::noRestart);
}

TEST(TempoFollow, AnswersWithoutBarsOrBeatsAreIgnored) {
    VstTimeInfo time = transport(120.0, 3.5);
    EXPECT_FALSE(TempoFollow::follow(nullptr, 0.0f, 512).valid);
    time.flags = kVstPpqPosValid | kVstTempoValid;
    EXPECT_FALSE(TempoFollow::follow(&time, 0.0f, 512).valid);
    time.flags = kVstBarsValid | kVstTempoValid;
    EXPECT_FALSE(TempoFollow::follow(&time, 0.0f, 512).valid);
    time.flags = kVstBarsValid | kVstPpqPosValid;
    EXPECT_TRUE(TempoFollow::follow(&time, 0.0f, 512).valid);
}

TEST(TempoFollow, TemposThatAreNotPositiveNumbersSkipTheBlock) {
    for (double tempo : {0.0, -120.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        const VstTimeInfo time = transport(tempo, 3.5);
        EXPECT_FALSE(TempoFollow::follow(&time, 0.6f, 16384).valid) << tempo;
    }
}

TEST(TempoFollow, AbsurdPositionsAndTemposStayWithinTheFiltersRange) {
    const VstTimeInfo fast = transport(1e12, 3.5);
    EXPECT_EQ(TempoFollow::follow(&fast, 0.8f, 512).lfoRate, 88200);
    const VstTimeInfo pastTheBar = transport(120.0, 1e15);
    EXPECT_EQ(TempoFollow::follow(&pastTheBar, 0.6f, 512).restartSteps, TempoFollow::noRestart);
}
