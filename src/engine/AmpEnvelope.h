#pragma once

#include "engine/EngineConstants.h"

#include <cstdint>

// A run of consecutive samples in one envelope state, over which the gain is a straight line:
// sample k of the run gets start + slope * k. Start and slope are worked out in double precision per run.
struct EnvelopeRun {
    uint32_t length = 0;
    float start = 0.0f;
    float slope = 0.0f;
    bool reachesNextState = false;

    float gainAt(uint32_t k) const { return start + slope * static_cast<float>(k); }
};

// Linear attack-decay-sustain-release envelope, its times in seconds counted in samples at the engine's rate.
// The voice asks for the next run (bounded by what it may render), plays it, and reports how much it played.
class AmpEnvelope {
public:
    enum class State : int32_t { Attack = 0, Decay = 1, Sustain = 2, Release = 3, Off = 4 };

    // Takes effect from the next run.
    void setSampleRate(double samplesPerSecond) noexcept { samplesPerSecond_ = samplesPerSecond; }
    void setTimes(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds) noexcept;
    void start() noexcept;
    void beginRelease() noexcept;

    EnvelopeRun nextRun(uint32_t limit) const noexcept;
    // `played` may fall short of the run when the slice ends first; then no state change happens.
    void advance(const EnvelopeRun& run, uint32_t played) noexcept;

    State state() const { return state_; }
    float level() const { return level_; }
    uint64_t counter() const { return counter_; }
    float attackTime() const { return attackTime_; }
    float decayTime() const { return decayTime_; }
    float sustainLevel() const { return sustainLevel_; }
    float releaseTime() const { return releaseTime_; }

private:
    EnvelopeRun ramp(uint32_t limit, float seconds, double base, double perSample) const noexcept;

    double samplesPerSecond_ = engineSampleRate;
    float attackTime_ = 0.0f;
    float decayTime_ = 1.0f;
    float sustainLevel_ = 0.0f;
    float releaseTime_ = 0.0f;
    State state_ = State::Off;
    uint64_t counter_ = 0;
    float level_ = 1.0f;
};
