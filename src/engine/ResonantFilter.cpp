#include "engine/ResonantFilter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double lowestCutoff = 40.0;
constexpr double cutoffSpan = 12960.0;  // 41 Hz ... 13000 Hz once the floor is added
constexpr double lowpassDampingScale = 13000.0;
constexpr int32_t samplesPerLfoCycle = 176400;  // four seconds at 44100: one triangle step per sample
// Beyond this the half period would round to 0 and the LFO position could no longer be divided by it.
constexpr int32_t fastestLfoRate = samplesPerLfoCycle / 2;
constexpr float outputLimit = 0.9f;

}  // namespace

ResonantFilter::ResonantFilter(int32_t sampleRate)
    : freqConstant_(static_cast<float>(sampleRate) * 0.14965986f),
      logSpan_(static_cast<float>(std::log10(cutoffSpan)))
{
    // Every parameter is applied before audio runs; until then the filter sounds like resonance 0.
    setResonance(0.0f);
}

float ResonantFilter::cutoffFor(float value) const noexcept
{
    return static_cast<float>(std::pow(10.0, static_cast<double>(value) * logSpan_) + lowestCutoff);
}

void ResonantFilter::setFrequency(float value) noexcept
{
    cutoffBase_ = value;
    cutoff_ = cutoffFor(value);
    updateCoefficients();
}

void ResonantFilter::setResonance(float value) noexcept
{
    resonance_ = static_cast<float>(std::pow(10.0, 2.0 * static_cast<double>(value)));
    outputGain_ = (1.0f + 0.06f * resonance_) * 1.3f;
    updateCoefficients();
}

void ResonantFilter::updateCoefficients() noexcept
{
    FilterCoefficients& k = coefficients_;
    const float q = resonance_;
    k.c = freqConstant_ / cutoff_;
    k.cSquared = k.c * k.c;
    const float inputScale = 1.0f / std::sqrt(q + 1.0f);
    if (mode_ == lowPass) {
        k.damping = q / (std::exp(cutoff_ / static_cast<float>(lowpassDampingScale)) + 1.0f);
        k.lowpassFeedback = k.c / k.damping - 1.0f;
    } else {
        k.damping = q / (std::sqrt(std::sqrt(1.0f / k.c)) + 1.0f);
        k.highpassGain = 0.75f * inputScale;
    }
    const float cOverE = k.c / k.damping;
    k.a0 = k.cSquared + cOverE;

    const float inverseA0 = 1.0f / k.a0;
    taps_.y1 = (2.0f * k.cSquared + cOverE - 1.0f) * inverseA0;
    taps_.y2 = -k.cSquared * inverseA0;
    if (mode_ == lowPass) {
        taps_.x0 = inputScale * inverseA0;
        taps_.x1 = 0.0f;
        taps_.x2 = 0.0f;
    } else {
        const float gain = k.highpassGain * inverseA0;
        taps_.x0 = gain * (cOverE + k.cSquared);
        taps_.x1 = -gain * (cOverE + 2.0f * k.cSquared);
        taps_.x2 = gain * k.cSquared;
    }
}

void ResonantFilter::lfoStep(int32_t steps) noexcept
{
    lfoRate_ = std::clamp(lfoRate_, 1, fastestLfoRate);
    const int32_t half = samplesPerLfoCycle / lfoRate_ / 2;
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
    cutoff_ = cutoffFor(std::clamp(swing, 0.0f, 1.0f));
    updateCoefficients();
}

void ResonantFilter::render(float* buffer, int32_t frames) noexcept
{
    if (frames <= 0) {
        return;
    }
    // A mode change since the last block takes effect here.
    updateCoefficients();
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

void ResonantFilter::filterRun(float* buffer, int32_t frames) noexcept
{
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
        buffer[i] = std::clamp(outputGain * y, -outputLimit, outputLimit);
    }
    x1_ = x1;
    x2_ = x2;
    y1_ = y1;
    y2_ = y2;
}
