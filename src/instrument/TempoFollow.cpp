#include "instrument/TempoFollow.h"

#include "engine/ResonantFilter.h"
#include "shared/ParameterNumber.h"

#include <cmath>

namespace {

constexpr double beatsPerBar = 4.0;

// The LFO divisor of each sync-mode step: each step picks a note value.
constexpr double divisors[Parameter::syncModeStepCount] = {
    50.0, 12.5, static_cast<double>(4.16666f), 6.25, static_cast<double>(2.0833f), 3.125};

double divisorFor(float syncMode) { return divisors[Parameter::syncModeStep(syncMode)]; }

}  // namespace

TempoFollow TempoFollow::follow(const HostTime* time, float syncMode, std::int32_t frames, double sampleRate) noexcept {
    TempoFollow result;
    if (!time) return result;
    if (!(time->tempo > 0.0) || !std::isfinite(time->tempo)) return result;

    const double beatsPerSecond = time->tempo * static_cast<double>(1.0f / 60.0f);
    const double samplesPerBeat = std::trunc(sampleRate / beatsPerSecond);
    const double rate = beatsPerSecond / divisorFor(syncMode) * 100.0;
    result.valid = true;
    result.lfoRate = ResonantFilter::wholeLfoRate(rate);

    const double positionInBar = time->beat - time->barStartBeat;
    if (positionInBar >= beatsPerBar - 1.0) {
        const double samplesToBarLine = (beatsPerBar - positionInBar) * samplesPerBeat;
        // A position past the bar's end (another metre) has no bar line ahead within four beats.
        if (samplesToBarLine >= 0.0 && samplesToBarLine <= frames)
            result.restartSteps = static_cast<std::int32_t>(samplesToBarLine);
    }
    return result;
}
