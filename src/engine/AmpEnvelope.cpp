#include "engine/AmpEnvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Samples from counter `n` up to and including the one that ends a state lasting `duration` samples.
// The state ends on the first sample whose n + 1 reaches the duration; one that never ends (a duration
// too long to count, or not a number) gives the largest count.
uint32_t samplesToStateEnd(uint64_t n, double duration) {
    const double position = static_cast<double>(n);
    if (position + 1.0 >= duration) {
        return 1;
    }
    const double remaining = std::ceil(duration) - position;
    constexpr double unbounded = static_cast<double>(std::numeric_limits<uint32_t>::max());
    return remaining < unbounded ? static_cast<uint32_t>(remaining) : std::numeric_limits<uint32_t>::max();
}

}  // namespace

void AmpEnvelope::setTimes(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds) noexcept {
    attackTime_ = attackSeconds;
    decayTime_ = decaySeconds;
    sustainLevel_ = sustainLevel;
    releaseTime_ = releaseSeconds;
}

void AmpEnvelope::start() noexcept {
    level_ = 1.0f;
    counter_ = 0;
    state_ = State::Attack;
}

void AmpEnvelope::beginRelease() noexcept {
    state_ = State::Release;
    counter_ = 0;
}

EnvelopeRun AmpEnvelope::ramp(uint32_t limit, float seconds, double base, double perSample) const noexcept {
    const uint32_t toEnd = samplesToStateEnd(counter_, static_cast<double>(seconds) * samplesPerSecond_);
    EnvelopeRun run;
    run.length = std::min(limit, toEnd);
    run.start = static_cast<float>(base + perSample * static_cast<double>(counter_));
    run.slope = static_cast<float>(perSample);
    run.reachesNextState = run.length == toEnd;
    return run;
}

EnvelopeRun AmpEnvelope::nextRun(uint32_t limit) const noexcept {
    const double sustain = sustainLevel_;
    switch (state_) {
        case State::Attack:
            if (attackTime_ == 0.0f) {
                return EnvelopeRun{1, 1.0f, 0.0f, true};
            }
            return ramp(limit, attackTime_, 0.0, 1.0 / (static_cast<double>(attackTime_) * samplesPerSecond_));
        case State::Decay:
            return ramp(limit, decayTime_, 1.0,
                        -(1.0 - sustain) / (static_cast<double>(decayTime_) * samplesPerSecond_));
        case State::Sustain: return EnvelopeRun{limit, sustainLevel_, 0.0f, false};
        case State::Release: {
            const double from = level_;
            return ramp(limit, releaseTime_, from, -from / (static_cast<double>(releaseTime_) * samplesPerSecond_));
        }
        case State::Off: break;
    }
    return EnvelopeRun{limit, 0.0f, 0.0f, false};
}

void AmpEnvelope::advance(const EnvelopeRun& run, uint32_t played) noexcept {
    if (played == 0) {
        return;
    }
    switch (state_) {
        case State::Attack:
        case State::Decay:
            level_ = run.gainAt(played - 1);
            counter_ += played;
            break;
        case State::Sustain: level_ = sustainLevel_; break;
        case State::Release: counter_ += played; break;
        case State::Off: return;
    }
    if (played == run.length && run.reachesNextState) {
        counter_ = 0;
        state_ = static_cast<State>(static_cast<int32_t>(state_) + 1);
    }
}
