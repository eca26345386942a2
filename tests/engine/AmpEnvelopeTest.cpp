#include "engine/AmpEnvelope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using State = AmpEnvelope::State;

namespace {

AmpEnvelope started(float attack, float decay, float sustain, float release)
{
    AmpEnvelope envelope;
    envelope.setTimes(attack, decay, sustain, release);
    envelope.start();
    return envelope;
}

// Plays `samples` samples through runs no longer than `limit`, returning the gain of each.
std::vector<float> play(AmpEnvelope& envelope, uint32_t samples, uint32_t limit = 1024)
{
    std::vector<float> gains;
    while (gains.size() < samples) {
        const uint32_t wanted = std::min<uint32_t>(limit, samples - static_cast<uint32_t>(gains.size()));
        const EnvelopeRun run = envelope.nextRun(wanted);
        for (uint32_t k = 0; k < run.length; ++k) {
            gains.push_back(run.gainAt(k));
        }
        envelope.advance(run, run.length);
    }
    return gains;
}

}  // namespace

TEST(AmpEnvelope, ZeroAttackGivesFullGainOnItsOnlySample)
{
    AmpEnvelope envelope = started(0.0f, 1.0f, 0.0f, 0.0f);
    const EnvelopeRun run = envelope.nextRun(64);
    EXPECT_EQ(run.length, 1u);
    EXPECT_EQ(run.gainAt(0), 1.0f);
    envelope.advance(run, 1);
    EXPECT_EQ(envelope.state(), State::Decay);
    EXPECT_EQ(envelope.counter(), 0u);
}

TEST(AmpEnvelope, AttackOfOneMillisecondLasts45SamplesAndDecayStartsAtFullGain)
{
    AmpEnvelope envelope = started(0.001f, 1.0f, 0.0f, 0.0f);
    for (uint32_t limit : {1024u, 7u}) {
        envelope.start();
        const std::vector<float> gains = play(envelope, 46, limit);
        for (int n = 0; n < 45; ++n) {
            EXPECT_NEAR(gains[n], n / 44.1, 1e-6) << "sample " << n << " in runs of " << limit;
        }
        EXPECT_EQ(gains[45], 1.0f);
        EXPECT_EQ(envelope.state(), State::Decay);
    }
}

TEST(AmpEnvelope, DecayFallsLinearlyToTheSustainLevelAndHoldsIt)
{
    AmpEnvelope envelope = started(0.0f, 0.01f, 0.25f, 0.0f);
    const std::vector<float> gains = play(envelope, 1 + 441 + 100);
    EXPECT_NEAR(gains[1 + 220], 1.0 - 0.75 * 220 / 441.0, 1e-6);
    EXPECT_NEAR(gains[1 + 440], 1.0 - 0.75 * 440 / 441.0, 1e-6);
    EXPECT_EQ(gains[1 + 441], 0.25f);
    EXPECT_EQ(gains.back(), 0.25f);
    EXPECT_EQ(envelope.state(), State::Sustain);
    EXPECT_EQ(envelope.level(), 0.25f);
}

TEST(AmpEnvelope, ReleaseFallsFromTheLevelReachedMidAttack)
{
    // An attack of 100 samples is half way after the sample with gain 50/100.
    AmpEnvelope envelope = started(100.0f / 44100.0f, 1.0f, 0.0f, 0.01f);
    play(envelope, 51);
    EXPECT_NEAR(envelope.level(), 0.5f, 1e-5f);
    envelope.beginRelease();
    const std::vector<float> gains = play(envelope, 441);
    EXPECT_NEAR(gains[0], 0.5f, 1e-5f);
    EXPECT_NEAR(gains[100], 0.5 - 0.5 * 100 / 441.0, 1e-5);
    EXPECT_EQ(envelope.state(), State::Off);
}

TEST(AmpEnvelope, AttackShorterThanASampleEndsAtOnce)
{
    AmpEnvelope envelope = started(-1.0f, 1.0f, 0.0f, 0.0f);
    const EnvelopeRun run = envelope.nextRun(64);
    EXPECT_EQ(run.length, 1u);
    EXPECT_TRUE(run.reachesNextState);
}

TEST(AmpEnvelope, StateWithoutMeasurableEndRunsAsFarAsAllowed)
{
    AmpEnvelope envelope = started(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(envelope.nextRun(512).length, 512u);
    EXPECT_FALSE(envelope.nextRun(512).reachesNextState);
    envelope = started(1e30f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(envelope.nextRun(512).length, 512u);
}

TEST(AmpEnvelope, RunCutShortBySliceEndChangesNoState)
{
    AmpEnvelope envelope = started(0.001f, 1.0f, 0.0f, 0.0f);
    const EnvelopeRun run = envelope.nextRun(64);
    envelope.advance(run, 10);
    EXPECT_EQ(envelope.state(), State::Attack);
    EXPECT_EQ(envelope.counter(), 10u);
    EXPECT_NEAR(envelope.level(), 9 / 44.1, 1e-6);
}
