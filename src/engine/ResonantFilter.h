#pragma once

#include "engine/EngineConstants.h"

#include <cstdint>

// The named coefficients of the two-pole filter: c = K / cutoff, damping e, a0 = c^2 + c/e, and the
// terms the low-pass and high-pass equations add.
struct FilterCoefficients {
    float c = 0.0f;
    float cSquared = 0.0f;
    float damping = 0.0f;
    float a0 = 0.0f;
    float lowpassFeedback = 0.0f;
    float highpassGain = 0.0f;
};

// One global two-pole resonant filter, low-pass or high-pass, run in place over the mixed block.
// A triangle LFO moves its cutoff every 10 filtered samples. History and LFO run on across blocks.
class ResonantFilter {
public:
    static constexpr int32_t lowPass = 0;
    static constexpr int32_t highPass = 1;
    static constexpr int32_t samplesPerLfoStep = 10;
    // The LFO at rate 1 takes four seconds for its triangle, one step per sample.
    static constexpr double secondsPerLfoCycle = 4.0;
    // No setting asks for more. At the lowest rates the LFO's half period bounds the rate further:
    // beyond that it would round to 0 and the LFO position could no longer be divided by it.
    static constexpr int32_t fastestLfoRate = static_cast<int32_t>(secondsPerLfoCycle * engineSampleRate / 2);

    explicit ResonantFilter(double sampleRate);

    // Counts the LFO and the cutoff at another rate from the next sample on; the LFO keeps its place
    // in its cycle and the cutoff stays where it is in hertz.
    void setSampleRate(double sampleRate) noexcept;

    // A rate worked out in floating point as the whole LFO rate it means: truncated toward zero and
    // kept within 0 ... fastestLfoRate; not a number counts as 0.
    static int32_t wholeLfoRate(double rate) noexcept;

    // 0 ... 1 mapped exponentially onto 41 Hz ... 13000 Hz.
    void setFrequency(float value) noexcept;
    // 0 ... 1 mapped onto q = 1 ... 100.
    void setResonance(float value) noexcept;
    // 0 is low-pass, anything else high-pass; takes effect from the next block.
    void setMode(int32_t mode) noexcept { mode_ = mode; }
    void setLfoRate(int32_t rate) noexcept { lfoRate_ = rate; }
    void setLfoAmount(float amount) noexcept { lfoAmount_ = amount; }
    // The LFO restarts at phase 0 after this many further LFO steps.
    void scheduleLfoRestart(int32_t steps) noexcept { restartCountdown_ = steps; }

    void render(float* buffer, int32_t frames) noexcept;

    float cutoff() const { return cutoff_; }
    float cutoffBase() const { return cutoffBase_; }
    float resonance() const { return resonance_; }
    int32_t mode() const { return mode_; }
    int32_t lfoRate() const { return lfoRate_; }
    float lfoAmount() const { return lfoAmount_; }
    int32_t lfoPhase() const { return lfoPhase_; }
    int32_t lfoDirection() const { return lfoDirection_; }
    int32_t lfoCountdown() const { return lfoCountdown_; }
    int32_t restartCountdown() const { return restartCountdown_; }
    // The coefficients as the filter equations name them, derived from the current cutoff and resonance.
    FilterCoefficients coefficients() const;

private:
    // The filter equation with every term divided by a0 up front, the same for both modes:
    // y = x0*x + x1*x[-1] + x2*x[-2] + y1*y[-1] + y2*y[-2].
    struct Taps {
        float x0 = 0.0f;
        float x1 = 0.0f;
        float x2 = 0.0f;
        float y1 = 0.0f;
        float y2 = 0.0f;
    };

    void updateCoefficients() noexcept;
    void lfoStep(int32_t steps) noexcept;
    float cutoffFor(float value) const noexcept;
    void filterRun(float* buffer, int32_t frames) noexcept;

    float freqConstant_ = 0.0f;
    float inverseFreqConstant_ = 0.0f;
    int32_t samplesPerLfoCycle_ = 0;
    // Below the rate loops play at, the cutoffs near the top would leave the filter unstable.
    float cutoffCeiling_ = 0.0f;
    float dampingDivisor_ = 2.0f;
    Taps taps_;
    float cutoff_ = 13000.0f;
    float resonance_ = 1.0f;
    float inverseResonance_ = 1.0f;
    float inputScale_ = 1.0f;
    float outputGain_ = 1.0f;
    int32_t mode_ = lowPass;
    int32_t tapsMode_ = lowPass;
    float x1_ = 0.0f;
    float x2_ = 0.0f;
    float y1_ = 0.0f;
    float y2_ = 0.0f;
    int32_t lfoPhase_ = 0;
    int32_t lfoCountdown_ = 0;
    int32_t lfoDirection_ = 1;
    float cutoffBase_ = 1.0f;
    int32_t lfoRate_ = 0;
    float lfoAmount_ = 0.0f;
    float logSpan_ = 0.0f;
    int32_t restartCountdown_ = -1;
};
