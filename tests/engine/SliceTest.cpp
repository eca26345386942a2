#include "engine/Slice.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Slice, KeepsItsOwnCopyOfTheSamples) {
    std::vector<float> source{0.1f, 0.2f, 0.3f};
    const Slice slice(source.data(), 3, 44100, 16, 1);
    source[1] = 9.0f;
    EXPECT_EQ(slice.length(), 3u);
    EXPECT_EQ(slice.samples()[1], 0.2f);
}

TEST(Slice, StartsWithoutNoteAtUnityGainPlayingForwardFromTheCentre) {
    const float value = 0.5f;
    const Slice slice(&value, 1, 22050, 24, 2);
    EXPECT_EQ(slice.note(), 127);
    EXPECT_EQ(slice.gain(), 1.0f);
    EXPECT_FALSE(slice.isReverse());
    EXPECT_EQ(slice.centsShift(), 0);
    EXPECT_EQ(slice.panPosition(), 0);
    EXPECT_EQ(slice.sampleRate(), 22050);
    EXPECT_EQ(slice.bitsPerSample(), 24);
    EXPECT_EQ(slice.channels(), 2);
}

TEST(Slice, TwoChannelFramesArePairsAndAnOddElementIsNoFrame) {
    const std::vector<float> values(7, 0.0f);
    EXPECT_EQ(Slice(values.data(), 7, 44100, 16, 2).frameCount(), 3u);
    EXPECT_EQ(Slice(values.data(), 7, 44100, 16, 1).frameCount(), 7u);
}
