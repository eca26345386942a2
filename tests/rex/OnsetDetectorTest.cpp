#include "DrumHits.h"
#include "OnsetDetector.h"

#include <gtest/gtest.h>

namespace {

TEST(OnsetDetector, FindsEachHitOfADrumLoop) {
    const SoundFile sound = drumHits(176400, eightQuarterNoteHits());
    EXPECT_EQ(OnsetDetector(44100).detect(sound), eightQuarterNoteHits());
}

TEST(OnsetDetector, PlacesHitsThatStartInsideAnalysisWindowsOnTheirFirstFrame) {
    const SoundFile sound = drumHits(60000, {5000, 13377, 40001}, 2);
    EXPECT_EQ(OnsetDetector(44100).detect(sound), (std::vector<uint32_t>{0, 5000, 13377, 40001}));
}

TEST(OnsetDetector, HitsCloserThanFiftyMillisecondsMakeOneSlice) {
    const SoundFile sound = drumHits(44100, {10000, 10900});
    EXPECT_EQ(OnsetDetector(44100).detect(sound), (std::vector<uint32_t>{0, 10000}));
}

TEST(OnsetDetector, SilenceIsOneSliceFromTheStart) {
    EXPECT_EQ(OnsetDetector(44100).detect(drumHits(44100, {})), std::vector<uint32_t>{0});
    EXPECT_EQ(OnsetDetector(44100).detect(drumHits(0, {})), std::vector<uint32_t>{0});
}

}  // namespace
