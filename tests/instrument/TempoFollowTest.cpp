#include "HostTransport.h"
#include "instrument/TempoFollow.h"
#include "plugin/VstTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The VST 2 host's answer as the instrument reads it, then followed.
TempoFollow followed(const VstTimeInfo* answer, float syncMode, std::int32_t frames,
                     double sampleRate = engineSampleRate) {
    HostTime time;
    return TempoFollow::follow(VstTime::read(answer, time) ? &time : nullptr, syncMode, frames, sampleRate);
}

}  // namespace

TEST(TempoFollow, TheRequestMaskIsTheTransportPositionAndTempoSet) { EXPECT_EQ(VstTime::requestMask, 0x3E07); }

TEST(TempoFollow, EachSyncModeGivesItsNoteValue) {
    const VstTimeInfo time = hostTransport(120.0, 0.0);
    EXPECT_EQ(followed(&time, 0.0f, 512).lfoRate, 4);
    EXPECT_EQ(followed(&time, 0.2f, 512).lfoRate, 16);
    EXPECT_EQ(followed(&time, 0.4f, 512).lfoRate, 48);
    EXPECT_EQ(followed(&time, 0.6f, 512).lfoRate, 32);
    EXPECT_EQ(followed(&time, 0.8f, 512).lfoRate, 96);
    EXPECT_EQ(followed(&time, 0.5f, 512).lfoRate, 64);
}

TEST(TempoFollow, TheBarLineRestartIsScheduledOnlyWithinTheBlock) {
    const VstTimeInfo time = hostTransport(120.0, 3.5);
    const TempoFollow inBlock = followed(&time, 0.6f, 16384);
    EXPECT_TRUE(inBlock.valid);
    EXPECT_EQ(inBlock.restartSteps, 11024);
    // Half a beat at 48 kHz: 23999 samples per beat, truncated as at 44.1 kHz.
    EXPECT_EQ(followed(&time, 0.6f, 16384, 48000.0).restartSteps, 11999);
    EXPECT_EQ(followed(&time, 0.6f, 512).restartSteps, TempoFollow::noRestart);
    const VstTimeInfo early = hostTransport(120.0, 2.99);
    EXPECT_EQ(followed(&early, 0.6f, 1 << 20).restartSteps, TempoFollow::noRestart);
}

TEST(TempoFollow, AnswersWithoutBarsOrBeatsAreIgnored) {
    VstTimeInfo time = hostTransport(120.0, 3.5);
    EXPECT_FALSE(followed(nullptr, 0.0f, 512).valid);
    time.flags = kVstPpqPosValid | kVstTempoValid;
    EXPECT_FALSE(followed(&time, 0.0f, 512).valid);
    time.flags = kVstBarsValid | kVstTempoValid;
    EXPECT_FALSE(followed(&time, 0.0f, 512).valid);
    time.flags = kVstBarsValid | kVstPpqPosValid;
    EXPECT_TRUE(followed(&time, 0.0f, 512).valid);
}

TEST(TempoFollow, TemposThatAreNotPositiveNumbersSkipTheBlock) {
    for (double tempo : {0.0, -120.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        const VstTimeInfo time = hostTransport(tempo, 3.5);
        EXPECT_FALSE(followed(&time, 0.6f, 16384).valid) << tempo;
    }
}

TEST(TempoFollow, AbsurdPositionsAndTemposStayWithinTheFiltersRange) {
    const VstTimeInfo fast = hostTransport(1e12, 3.5);
    EXPECT_EQ(followed(&fast, 0.8f, 512).lfoRate, 88200);
    const VstTimeInfo pastTheBar = hostTransport(120.0, 1e15);
    EXPECT_EQ(followed(&pastTheBar, 0.6f, 512).restartSteps, TempoFollow::noRestart);
}
