#include "DrumHits.h"
#include "LoopLayout.h"
#include "ToolError.h"

#include <gtest/gtest.h>

namespace {

TEST(LoopLayout, LoopLengthIsFourQuarterNotesOf960TicksPerBar) {
    EXPECT_EQ(LoopLayout(120.0, 2).loopLength(), 7680u);
    EXPECT_EQ(LoopLayout(95.0, 1).loopLength(), 3840u);
}

TEST(LoopLayout, PositionsFollowTheTempo) {
    const LoopLayout layout(120.0, 2);
    EXPECT_EQ(layout.positionOf(22050, 44100), 960);
    EXPECT_EQ(layout.positionOf(11025, 44100), 480);
    EXPECT_EQ(LoopLayout(90.0, 1).positionOf(44100, 44100), 1440);
    EXPECT_EQ(LoopLayout(120.0, 1).positionOf(24000, 48000), 960);
}

TEST(LoopLayout, PositionPastTheLastTickASliceCanNameIsAnError) {
    EXPECT_THROW(LoopLayout(120.0, 17).positionOf(44100 * 40, 44100), ToolError);
}

TEST(LoopLayout, StereoSlicesCountSampleValuesNotFrames) {
    const SoundFile sound = drumHits(1000, {}, 2);
    const RexLoopContent loop = LoopLayout(120.0, 1).build(sound, {0, 400});
    ASSERT_EQ(loop.slices.size(), 2u);
    EXPECT_EQ(loop.slices[1].start, 800u);
    EXPECT_EQ(loop.slices[1].length, 1200u);
    EXPECT_EQ(loop.channelCount, 2);
    EXPECT_EQ(loop.samples.size(), 2000u);
}

TEST(LoopLayout, SliceFramesOutOfOrderOrPastTheEndAreErrors) {
    const SoundFile sound = drumHits(1000, {});
    const LoopLayout layout(120.0, 1);
    EXPECT_THROW(layout.build(sound, {0, 500, 500}), ToolError);
    EXPECT_THROW(layout.build(sound, {0, 1000}), ToolError);
    EXPECT_THROW(layout.build(sound, {}), ToolError);
}

}  // namespace
