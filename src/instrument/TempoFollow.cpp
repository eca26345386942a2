#include "instrument/TempoFollow.h"

#include "engine/ResonantFilter.h"

#include <cmath>

namespace {

constexpr double sampleRate = 44100.0;
constexpr double beatsPerBar = 4.0;

// The sync mode comes from the editor's switch in steps of 0.2; each step picks a note value.
double divisorFor(float syncMode) {
    if (syncMode == 0.0f) return 50.0;
    if (syncMode == 0.2f) return 12.5;
    if (syncMode == 0.4f) return static_cast<double>(4.16666f);
    if (syncMode == 0.6f) return 6.25;
    if (syncMode == 0.8f) return static_cast<double>(2.0833f);
    return 3.125;
}

}  // namespace

TempoFollow TempoFollow::follow(const VstTimeInfo* time, float syncMode, std::int32_t frames) noexcept {
    TempoFollow result;
    if (!time || !(time->flags & kVstBarsValid) || !(time->flags & kVstPpqPosValid)) return result;
    if (!(time->tempo > 0.0) || !std::isfinite(time->tempo)) return result;

    const double beatsPerSecond = time->tempo * static_cast<double>(1.0f / 60.0f);
    const double samplesPerBeat = std::trunc(sampleRate / beatsPerSecond);
    const double rate = beatsPerSecond / divisorFor(syncMode) * 100.0;
    result.valid = true;
    result.lfoRate = ResonantFilter::wholeLfoRate(rate);

    const double positionInBar = time->ppqPos - time->barStartPos;
    if (positionInBar >= beatsPerBar - 1.0) {
        const double samplesToBarLine = (beatsPerBar - positionInBar) * samplesPerBeat;
        // A position past the bar's end (another metre) has no bar line ahead within four beats.
        if (samplesToBarLine >= 0.0 && samplesToBarLine <= frames)
            result.restartSteps = static_cast<std::int32_t>(samplesToBarLine);
    }
    return result;
}
