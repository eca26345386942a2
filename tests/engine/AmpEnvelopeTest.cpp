#include "engine/AmpEnvelope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using State = AmpEnvelope::State;

namespace {

AmpEnvelope started(float attack, float decay, float sustain, float release, double sampleRate = 44100.0) {
    AmpEnvelope envelope;
    envelope.setSampleRate(sampleRate);
    envelope.setTimes(attack, decay, sustain, release);
    envelope.start();
    return envelope;
}

// Plays `samples` samples through runs of at most 64, returning the gain of each.
std::vector<float> play(AmpEnvelope& envelope, uint32_t samples) {
    std::vector<float> gains;
    while (gains.size() < samples) {
        const EnvelopeRun run = envelope.nextRun(std::min<uint32_t>(64, samples - static_cast<uint32_t>(gains.size())));
        for (uint32_t k = 0; k < run.length; ++k) {
            gains.push_back(run.gainAt(k));
        }
        envelope.advance(run, run.length);
    }
    return gains;
}

}  // namespace

// A decay of 10 ms lasts 10 ms at every rate.
TEST(AmpEnvelope, DecayFallsLinearlyToTheSustainLevelAndHoldsIt) {
    for (const uint32_t samples : {441u, 80u, 480u, 3840u}) {
        AmpEnvelope envelope = started(0.0f, 0.01f, 0.25f, 0.0f, samples * 100.0);
        const std::vector<float> gains = play(envelope, 1 + samples + 100);
        EXPECT_NEAR(gains[1 + samples / 2], 1.0 - 0.75 * (samples / 2) / samples, 1e-6) << samples;
        EXPECT_NEAR(gains[1 + samples - 1], 1.0 - 0.75 * (samples - 1) / samples, 1e-6) << samples;
        EXPECT_EQ(gains[1 + samples], 0.25f);
        EXPECT_EQ(gains.back(), 0.25f);
        EXPECT_EQ(envelope.state(), State::Sustain);
        EXPECT_EQ(envelope.level(), 0.25f);
    }
}

TEST(AmpEnvelope, AttackShorterThanASampleEndsAtOnce) {
    AmpEnvelope envelope = started(-1.0f, 1.0f, 0.0f, 0.0f);
    const EnvelopeRun run = envelope.nextRun(64);
    EXPECT_EQ(run.length, 1u);
    EXPECT_TRUE(run.reachesNextState);
}

TEST(AmpEnvelope, StateWithoutMeasurableEndRunsAsFarAsAllowed) {
    AmpEnvelope envelope = started(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(envelope.nextRun(512).length, 512u);
    EXPECT_FALSE(envelope.nextRun(512).reachesNextState);
    envelope = started(1e30f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(envelope.nextRun(512).length, 512u);
}

TEST(AmpEnvelope, RunCutShortBySliceEndChangesNoState) {
    AmpEnvelope envelope = started(0.001f, 1.0f, 0.0f, 0.0f);
    const EnvelopeRun run = envelope.nextRun(64);
    envelope.advance(run, 10);
    EXPECT_EQ(envelope.state(), State::Attack);
    EXPECT_EQ(envelope.counter(), 10u);
    EXPECT_NEAR(envelope.level(), 9 / 44.1, 1e-6);
}
