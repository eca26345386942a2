#include "DrumHits.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(OnsetDetector, FindsEachHitOfADrumLoop) {
    const SoundFile sound = drumHits(176400, eightQuarterNoteHits());
    EXPECT_EQ(detectOnsets(sound), eightQuarterNoteHits());
}

TEST(OnsetDetector, PlacesHitsThatStartInsideAnalysisWindowsOnTheirFirstFrame) {
    const SoundFile sound = drumHits(60000, {5000, 13377, 40001}, 2);
    EXPECT_EQ(detectOnsets(sound), (std::vector<uint32_t>{0, 5000, 13377, 40001}));
}

TEST(OnsetDetector, HitsCloserThanFiftyMillisecondsMakeOneSlice) {
    const SoundFile sound = drumHits(44100, {10000, 10900});
    EXPECT_EQ(detectOnsets(sound), (std::vector<uint32_t>{0, 10000}));
}

TEST(OnsetDetector, SilenceIsOneSliceFromTheStart) {
    EXPECT_EQ(detectOnsets(drumHits(44100, {})), std::vector<uint32_t>{0});
    EXPECT_EQ(detectOnsets(drumHits(0, {})), std::vector<uint32_t>{0});
    EXPECT_EQ(detectOnsets(drumHits(10, {})), std::vector<uint32_t>{0});
}

// Its own tail is no further hit, wherever the one hit lies.
TEST(OnsetDetector, ALoopOfOneHitIsOneOrTwoSlices) {
    EXPECT_EQ(detectOnsets(drumHits(88200, {0})), std::vector<uint32_t>{0});
    EXPECT_EQ(detectOnsets(drumHits(88200, {30011})), (std::vector<uint32_t>{0, 30011}));
}

TEST(OnsetDetector, FindsHitsOnTheFirstAndTheLastFrames) {
    EXPECT_EQ(detectOnsets(drumHits(44100, {0, 44099})), (std::vector<uint32_t>{0, 44099}));
    EXPECT_EQ(detectOnsets(drumHits(44100, {0, 44070}, 2)), (std::vector<uint32_t>{0, 44070}));
}

// Hits driven four times past full scale: their flat tops are no new hits, and each is still found.
TEST(OnsetDetector, FindsEachHitOfAClippedLoop) {
    SoundFile sound = drumHits(176400, eightQuarterNoteHits());
    for (int16_t& value : sound.pcm) {
        value = static_cast<int16_t>(std::clamp(value * 4, -32768, 32767));
    }
    EXPECT_EQ(detectOnsets(sound), eightQuarterNoteHits());
}

}  // namespace
