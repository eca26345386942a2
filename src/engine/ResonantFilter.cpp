#include "engine/ResonantFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double lowestCutoff = 40.0;
constexpr double cutoffSpan = 12960.0;  // 41 Hz ... 13000 Hz once the floor is added
constexpr double lowpassDampingScale = 13000.0;
constexpr float outputLimit = 0.9f;
// K = rate times this; c = K / cutoff, so the cutoff in hertz holds at every rate.
constexpr float freqConstantPerHz = 0.14965986f;
// The high-pass damping depends on the cutoff against K at the rate loops play at, so that the
// resonance sounds the same at the same cutoff whatever the rate.
constexpr float inverseDampingReference = 1.0f / (static_cast<float>(engineSampleRate) * freqConstantPerHz);

// Settings beyond 0 ... 1 (up to infinity, or not a number) would drive the cutoff or the resonance
// to values whose coefficients are no longer finite numbers; they count as the nearer end.
float withinUnitRange(float value) { return value > 0.0f ? std::min(value, 1.0f) : 0.0f; }

}  // namespace

ResonantFilter::ResonantFilter(double sampleRate) : logSpan_(static_cast<float>(std::log10(cutoffSpan))) {
    setSampleRate(sampleRate);
    // Every parameter is applied before audio runs; until then the filter sounds like resonance 0.
    setResonance(0.0f);
}

void ResonantFilter::setSampleRate(double sampleRate) noexcept {
    const int32_t previousCycle = samplesPerLfoCycle_;
    freqConstant_ = static_cast<float>(sampleRate) * freqConstantPerHz;
    inverseFreqConstant_ = 1.0f / freqConstant_;
    samplesPerLfoCycle_ = static_cast<int32_t>(std::lround(secondsPerLfoCycle * sampleRate));
    if (previousCycle > 0) {
        lfoPhase_ =
            static_cast<int32_t>(std::lround(static_cast<double>(lfoPhase_) * samplesPerLfoCycle_ / previousCycle));
    }
    // c stays at or above its value at the top cutoff at the rate loops play at, where the filter is stable
    // at every resonance.
    cutoffCeiling_ = sampleRate < engineSampleRate
                         ? static_cast<float>((lowestCutoff + cutoffSpan) * sampleRate / engineSampleRate)
                         : std::numeric_limits<float>::infinity();
    cutoff_ = std::min(cutoff_, cutoffCeiling_);
    updateCoefficients();
}

int32_t ResonantFilter::wholeLfoRate(double rate) noexcept {
    if (!(rate > 0.0)) {
        return 0;
    }
    return rate < fastestLfoRate ? static_cast<int32_t>(rate) : fastestLfoRate;
}

float ResonantFilter::cutoffFor(float value) const noexcept {
    // 10^x as e^(x ln 10): the same value to double precision for a fraction of the cost, every 10 samples.
    constexpr double ln10 = 2.302585092994045684;
    return std::min(static_cast<float>(std::exp(static_cast<double>(value) * logSpan_ * ln10) + lowestCutoff),
                    cutoffCeiling_);
}

void ResonantFilter::setFrequency(float value) noexcept {
    cutoffBase_ = withinUnitRange(value);
    cutoff_ = cutoffFor(cutoffBase_);
    updateCoefficients();
}

void ResonantFilter::setResonance(float value) noexcept {
    resonance_ = static_cast<float>(std::pow(10.0, 2.0 * static_cast<double>(withinUnitRange(value))));
    inverseResonance_ = 1.0f / resonance_;
    inputScale_ = 1.0f / std::sqrt(resonance_ + 1.0f);
    outputGain_ = (1.0f + 0.06f * resonance_) * 1.3f;
    updateCoefficients();
}

FilterCoefficients ResonantFilter::coefficients() const {
    FilterCoefficients k;
    k.c = freqConstant_ / cutoff_;
    k.cSquared = k.c * k.c;
    k.damping = resonance_ / dampingDivisor_;
    const float cOverE = k.c / k.damping;
    k.a0 = k.cSquared + cOverE;
    k.lowpassFeedback = cOverE - 1.0f;
    k.highpassGain = 0.75f * inputScale_;
    return k;
}

void ResonantFilter::updateCoefficients() noexcept {
    // Every term of the equations is divided by a0 = c^2 + c/e. Written with u = 1/c and
    // du = (c/e) / c^2 that takes a single division, which counts at one update every 10 samples.
    const float u = cutoff_ * inverseFreqConstant_;
    tapsMode_ = mode_;
    if (mode_ == lowPass) {
        dampingDivisor_ = std::exp(cutoff_ / static_cast<float>(lowpassDampingScale)) + 1.0f;
    } else {
        // (1/c)^(1/4) + 1, with c as it is at the rate loops play at
        dampingDivisor_ = std::sqrt(std::sqrt(cutoff_ * inverseDampingReference)) + 1.0f;
    }
    const float du = dampingDivisor_ * inverseResonance_ * u;  // (c/e) / c^2
    const float r = 1.0f / (1.0f + du);                        // c^2 / a0
    taps_.y1 = (2.0f + du - u * u) * r;
    taps_.y2 = -r;
    if (mode_ == lowPass) {
        taps_.x0 = inputScale_ * u * u * r;
        taps_.x1 = 0.0f;
        taps_.x2 = 0.0f;
    } else {
        const float gain = 0.75f * inputScale_;
        taps_.x0 = gain;
        taps_.x1 = -gain * (du + 2.0f) * r;
        taps_.x2 = gain * r;
    }
}

void ResonantFilter::lfoStep(int32_t steps) noexcept {
    lfoRate_ = std::clamp(lfoRate_, 1, std::min(fastestLfoRate, samplesPerLfoCycle_ / 2));
    const int32_t half = samplesPerLfoCycle_ / lfoRate_ / 2;
    for (int32_t i = 0; i < steps; ++i) {
        if (restartCountdown_ == 0) {
            restartCountdown_ = -1;
            lfoPhase_ = 0;
            lfoDirection_ = 1;
        } else if (restartCountdown_ > 0) {
            --restartCountdown_;
        }
        if (lfoPhase_ >= half) {
            lfoPhase_ = half;
            lfoDirection_ = -1;
        } else if (lfoPhase_ <= -half) {
            lfoPhase_ = -half;
            lfoDirection_ = 1;
        }
        lfoPhase_ += lfoDirection_;
    }
    const float swing = static_cast<float>(lfoPhase_) / static_cast<float>(half) * lfoAmount_ + cutoffBase_;
    cutoff_ = cutoffFor(withinUnitRange(swing));
    updateCoefficients();
}

void ResonantFilter::render(float* buffer, int32_t frames) noexcept {
    if (frames <= 0) {
        return;
    }
    // A mode change since the last block takes effect here; the other settings recompute as they change.
    if (mode_ != tapsMode_) {
        updateCoefficients();
    }
    int32_t done = 0;
    while (done < frames) {
        if (lfoCountdown_ == 0) {
            lfoStep(samplesPerLfoStep);
            lfoCountdown_ = samplesPerLfoStep;
        }
        const int32_t run = std::min(lfoCountdown_, frames - done);
        filterRun(buffer + done, run);
        lfoCountdown_ -= run;
        done += run;
    }
}

void ResonantFilter::filterRun(float* buffer, int32_t frames) noexcept {
    const Taps t = taps_;
    const float outputGain = outputGain_;
    float x1 = x1_;
    float x2 = x2_;
    float y1 = y1_;
    float y2 = y2_;
    for (int32_t i = 0; i < frames; ++i) {
        const float x = buffer[i];
        // The feedback through y1 is added last: everything else is ready before the previous output is.
        const float y = (t.x0 * x + t.x1 * x1 + t.x2 * x2 + t.y2 * y2) + t.y1 * y1;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        buffer[i] = std::min(std::max(outputGain * y, -outputLimit), outputLimit);
    }
    // A history that ever holds infinity or not-a-number would repeat it forever; start again from silence.
    const bool finite = std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2);
    x1_ = finite ? x1 : 0.0f;
    x2_ = finite ? x2 : 0.0f;
    y1_ = finite ? y1 : 0.0f;
    y2_ = finite ? y2 : 0.0f;
}
