#include "engine/SliceVoice.h"

#include "EngineTestData.h"
#include "engine/SliceBank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using engine_test::makeSlice;
using engine_test::ramp;

namespace {

constexpr float untouched = -7.0f;

class SliceVoiceTest : public ::testing::Test {
protected:
    // A voice whose bank holds `values` as the slice for note 60.
    void load(const std::vector<float>& values, int32_t channels = 1) {
        bank.addSlice(makeSlice(values, channels, 60));
    }

    void start(float attack = 0.0f, float sustain = 1.0f, float release = 0.01f, int32_t delta = 0) {
        voice.setEnvelopeTimes(attack, 1.0f, sustain, release);
        voice.noteOn(60, 127, delta);
    }

    std::vector<float> render(uint32_t frames) {
        std::vector<float> block(frames, untouched);
        voice.render(block.data(), frames);
        return block;
    }

    SliceBank bank;
    SliceVoice voice{bank};
};

}  // namespace

TEST_F(SliceVoiceTest, PlaysEachSampleOnceThenFallsIdle) {
    load({0.5f, 0.5f, 0.5f});
    start();
    const std::vector<float> block = render(6);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(block[i], untouched + 0.5f);
    }
    EXPECT_EQ(block[3], untouched);
    EXPECT_FALSE(voice.isActive());
    EXPECT_EQ(voice.note(), 60);
}

TEST_F(SliceVoiceTest, AttackOfOneMillisecondRisesOver45Samples) {
    load(std::vector<float>(100, 1.0f));
    start(0.001f);
    const std::vector<float> block = render(50);
    for (int n = 0; n < 45; ++n) {
        EXPECT_NEAR(block[n] - untouched, n / 44.1, 1e-5) << "sample " << n;
    }
    EXPECT_EQ(block[45], untouched + 1.0f);
}

TEST_F(SliceVoiceTest, VelocityScalesTheLevel) {
    load({1.0f});
    voice.setEnvelopeTimes(0.0f, 1.0f, 1.0f, 0.01f);
    voice.noteOn(60, 64, 0);
    EXPECT_EQ(voice.velocityGain(), 64 * 0.007874016f);
    EXPECT_FLOAT_EQ(render(1)[0] - untouched, 64 * 0.007874016f);
}

TEST_F(SliceVoiceTest, StartsAtItsDeltaFrameOrAtZeroWhenTheDeltaIsOutsideTheBlock) {
    load(ramp(200, 0.01f));
    start(0.0f, 1.0f, 0.01f, 10);
    std::vector<float> block = render(64);
    EXPECT_EQ(block[9], untouched);
    EXPECT_FLOAT_EQ(block[11], untouched + 0.01f);

    start(0.0f, 1.0f, 0.01f, 100);
    block = render(64);
    EXPECT_FLOAT_EQ(block[1], untouched + 0.01f);
}

TEST_F(SliceVoiceTest, ReleaseBeginsAtTheNoteOffFrameCountedFromTheBlockStart) {
    load(std::vector<float>(1000, 1.0f));
    start(0.0f, 1.0f, 0.01f, 10);
    voice.noteOff(30);
    const std::vector<float> block = render(64);
    EXPECT_EQ(block[29] - untouched, 1.0f);
    EXPECT_EQ(voice.envelope().state(), AmpEnvelope::State::Release);
    EXPECT_EQ(block[30] - untouched, 1.0f);
    EXPECT_NEAR(block[31] - untouched, 1.0 - 1.0 / 441, 1e-6);
    EXPECT_EQ(voice.note(), SliceVoice::noNote);
}

TEST_F(SliceVoiceTest, VoiceFallsIdleWhenItsReleaseEndsAndAddsNothingAfter) {
    load(std::vector<float>(1000, 1.0f));
    start(0.0f, 1.0f, 0.005f);
    voice.noteOff(0);
    const std::vector<float> block = render(300);
    EXPECT_GT(block[220] - untouched, 0.0f);
    EXPECT_EQ(block[221], untouched);
    EXPECT_EQ(block[299], untouched);
    EXPECT_FALSE(voice.isActive());
}

TEST_F(SliceVoiceTest, ReleaseFallsFromTheLevelTheAttackHadReached) {
    load(std::vector<float>(1000, 1.0f));
    start(100.0f / 44100.0f, 1.0f, 0.01f);
    voice.noteOff(51);
    const std::vector<float> block = render(200);
    EXPECT_NEAR(block[50] - untouched, 0.5f, 1e-5f);
    EXPECT_NEAR(block[51] - untouched, 0.5f, 1e-5f);
    EXPECT_NEAR(block[151] - untouched, 0.5 - 0.5 * 100 / 441, 1e-5);
}

TEST_F(SliceVoiceTest, BendStepsThroughTheSliceByThePitchRatio) {
    load(ramp(100));
    bank.setBendCents(1200);
    start();
    const std::vector<float> octaveUp = render(4);
    EXPECT_EQ(octaveUp[3] - untouched, 6.0f);

    bank.setBendCents(700);
    start();
    const std::vector<float> fifthUp = render(20);
    float position = 0.0f;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(fifthUp[i] - untouched, static_cast<float>(static_cast<int>(position))) << "frame " << i;
        position += bank.pitchRatio(0);
    }
}

TEST_F(SliceVoiceTest, PositionLeftBetweenFramesByABendKeepsItsFractionAfterTheBendEnds) {
    load(ramp(100));
    bank.setBendCents(600);
    start();
    render(3);
    const float position = voice.position();
    ASSERT_NE(position, static_cast<float>(static_cast<int>(position)));
    bank.setBendCents(0);
    const std::vector<float> block = render(5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(block[i] - untouched, static_cast<float>(static_cast<int>(position + static_cast<float>(i))));
    }
}

// Against positions stepped one addition at a time, as a plain reading of a slice does, over blocks
// that split the frames into groups of every remainder, up to the slice's end.
TEST_F(SliceVoiceTest, BentPlaybackReadsTheFramesThatSteppedPositionsReach) {
    for (const int32_t channels : {1, 2}) {
        for (const int16_t cents : {-1100, -37, 5, 700, 1199}) {
            SliceBank own;
            std::vector<float> values(1003 * static_cast<size_t>(channels));
            for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<float>((i * 7919) % 1009) / 1009.0f;
            own.addSlice(makeSlice(values, channels, 60));
            own.setBendCents(cents);
            SliceVoice bent{own};
            bent.setEnvelopeTimes(0.0f, 1.0f, 1.0f, 0.01f);
            bent.noteOn(60, 127, 0);
            std::vector<float> played;
            for (int b = 0; b < 80; ++b) {
                std::vector<float> block(37, untouched);
                if (bent.isActive()) bent.render(block.data(), 37);
                played.insert(played.end(), block.begin(), block.end());
            }
            double position = 0.0;
            for (size_t k = 0; k < played.size(); ++k) {
                const auto frame = static_cast<size_t>(position);
                if (frame >= 1003) {
                    ASSERT_EQ(played[k], untouched) << cents << " cents, frame " << k;
                    continue;
                }
                const float value = channels == 1 ? values[frame] : (values[2 * frame] + values[2 * frame + 1]) * 0.5f;
                ASSERT_EQ(played[k], untouched + value) << cents << " cents, " << channels << " channels, frame " << k;
                position += static_cast<double>(own.pitchRatio(0));
            }
        }
    }
}

TEST_F(SliceVoiceTest, TwoChannelFramesAreMixedToMonoAndShapedByTheEnvelope) {
    load({1.0f, 0.5f, 1.0f, 0.5f, 1.0f, 0.5f, 1.0f, 0.5f, 1.0f, 0.5f, 0.25f}, 2);
    start(100.0f / 44100.0f);
    const std::vector<float> block = render(8);
    for (int n = 0; n < 5; ++n) {
        EXPECT_NEAR(block[n] - untouched, 0.75 * n / 100, 1e-5) << "frame " << n;
    }
    EXPECT_EQ(block[5], untouched);
}

TEST_F(SliceVoiceTest, TwoChannelPositionAdvancesInFramesUnderABend) {
    std::vector<float> frames;
    for (float value : ramp(20)) {
        frames.insert(frames.end(), {value, value});
    }
    load(frames, 2);
    bank.setBendCents(1200);
    start();
    const std::vector<float> block = render(12);
    EXPECT_EQ(block[3] - untouched, 6.0f);
    EXPECT_EQ(block[9] - untouched, 18.0f);
    EXPECT_EQ(block[10], untouched);
}

TEST_F(SliceVoiceTest, ReverseSliceReadsFromItsLastFrame) {
    load({1.0f, 2.0f, 3.0f});
    bank.slice(0)->setReverse(true);
    start();
    const std::vector<float> block = render(4);
    EXPECT_EQ(block[0] - untouched, 3.0f);
    EXPECT_EQ(block[2] - untouched, 1.0f);
    EXPECT_EQ(block[3], untouched);
}

TEST_F(SliceVoiceTest, BlocksOfAnySizeGiveTheSameSound) {
    load(ramp(3000, 0.001f));
    start(0.002f, 0.3f, 0.003f);
    voice.noteOff(1500);
    const std::vector<float> whole = render(2048);

    start(0.002f, 0.3f, 0.003f);
    voice.noteOff(1500);
    std::vector<float> pieces;
    for (uint32_t size : {1u, 7u, 64u, 513u, 1463u}) {
        const std::vector<float> block = render(size);
        pieces.insert(pieces.end(), block.begin(), block.end());
    }
    pieces.resize(whole.size());
    for (size_t i = 0; i < whole.size(); ++i) {
        ASSERT_FLOAT_EQ(pieces[i], whole[i]) << "frame " << i;
    }
}

TEST_F(SliceVoiceTest, ResetSilencesAtOnceAndTheNextNoteStartsNormally) {
    load(ramp(100));
    start();
    render(10);
    voice.reset();
    EXPECT_FALSE(voice.isActive());
    EXPECT_EQ(voice.slice(), nullptr);
    start();
    EXPECT_EQ(render(2)[1] - untouched, 1.0f);
}

TEST_F(SliceVoiceTest, NoteOnWithEmptyBankLeavesTheVoiceIdle) {
    start();
    EXPECT_FALSE(voice.isActive());
}

TEST_F(SliceVoiceTest, NoteOnOnASoundingVoiceRestartsFromTheFirstSample) {
    load(ramp(100));
    start();
    render(10);
    start();
    EXPECT_EQ(render(1)[0] - untouched, 0.0f);
}

// A float position stops counting whole frames at 2^24, where a held note would repeat one sample
// forever. The voice must reach the end of a longer slice, reading its last frames where they lie.
TEST_F(SliceVoiceTest, ASliceLongerThan2To24FramesPlaysToItsEndAndFrees) {
    constexpr uint32_t length = (1u << 24) + 40;
    std::vector<float> values(length, 0.0f);
    for (uint32_t i = length - 40; i < length; ++i) values[i] = static_cast<float>(i - (length - 40) + 1);
    load(values);
    start();
    constexpr uint32_t block = 1u << 16;
    for (uint32_t played = 0; played < length - 40; played += block) render(std::min(block, length - 40 - played));
    const std::vector<float> tail = render(64);
    for (uint32_t i = 0; i < 40; ++i) ASSERT_EQ(tail[i], untouched + static_cast<float>(i + 1)) << i;
    EXPECT_EQ(tail[40], untouched);
    EXPECT_FALSE(voice.isActive());
}
