#include "lv2/PortScales.h"

#include "instrument/ParameterTable.h"
#include "shared/ParameterNumber.h"

#include <algorithm>
#include <cmath>

namespace PortScales {
namespace {

// The filter's cutoff runs from 10^0 + 40 = 41 Hz to 10^log10(12960) + 40 = 13000 Hz; the span's
// logarithm is taken in single precision, as the filter takes it.
constexpr double lowestCutoff = 40.0;
const double cutoffLogSpan = static_cast<double>(static_cast<float>(std::log10(12960.0))) * std::log(10.0);
// One LFO cycle lasts 80 seconds divided by the whole rate, which is the stored value times 100.
constexpr double lfoStepsPerHertz = 80.0;
constexpr int slowestLfoRate = 1;
constexpr int fastestLfoRate = 100;

constexpr ScalePoint filterModes[] = {{"Low-pass", 0.0f}, {"High-pass", 1.0f}};
constexpr ScalePoint syncModes[Parameter::syncModeStepCount] = {{"Whole note", Parameter::syncModeSteps[0]},
                                                                {"Quarter note", Parameter::syncModeSteps[1]},
                                                                {"Eighth-note triplet", Parameter::syncModeSteps[2]},
                                                                {"Eighth note", Parameter::syncModeSteps[3]},
                                                                {"Sixteenth-note triplet", Parameter::syncModeSteps[4]},
                                                                {"Sixteenth note", Parameter::syncModeSteps[5]}};

// By parameter number; the reserved number has no port.
const PortScale scales[Parameter::count] = {
    {Kind::plain, 0.0f, 1.0f, nullptr, false, nullptr, 0,
     "Kept with each program; the instrument plays every slice at its own pitch."},
    {Kind::seconds, 0.0f, 1.0f, "s", false, nullptr, 0, "Time from silence to full level when a slice starts."},
    {Kind::seconds, 0.0f, 1.0f, "s", false, nullptr, 0,
     "Time from full level down to the sustain level (at least 5 ms)."},
    {Kind::percent, 0.0f, 100.0f, "pc", false, nullptr, 0, "Level held while the note is down."},
    {Kind::seconds, 0.0f, 1.0f, "s", false, nullptr, 0, "Time to silence after the note ends (at least 5 ms)."},
    {Kind::cutoff, 41.0f, 13000.0f, "hz", true, nullptr, 0, "Cutoff frequency of the filter."},
    {Kind::resonance, 1.0f, 100.0f, nullptr, true, nullptr, 0, "Resonance of the filter, as its q."},
    {Kind::choice, 0.0f, 1.0f, nullptr, false, filterModes, 2, "Low-pass or high-pass filter."},
    {Kind::toggle, 0.0f, 1.0f, nullptr, false, nullptr, 0, "Runs the filter over the mix."},
    {Kind::plain, 0.0f, 1.0f, nullptr, false, nullptr, 0, nullptr},
    {Kind::lfoRate, 0.0125f, 1.25f, "hz", true, nullptr, 0,
     "Rate of the triangle LFO that moves the cutoff, in steps of 0.0125 Hz."},
    {Kind::percent, 0.0f, 100.0f, "pc", false, nullptr, 0, "How far the LFO moves the cutoff."},
    {Kind::toggle, 0.0f, 1.0f, nullptr, false, nullptr, 0,
     "The LFO follows the host's tempo and restarts at bar lines."},
    {Kind::choice, 0.0f, 5.0f, nullptr, false, syncModes, Parameter::syncModeStepCount,
     "The note value of the LFO's cycle while it follows the tempo."},
};

// The smallest stored value whose rate, truncated as the instrument truncates it, is `rate`.
float storedLfoRate(int rate) {
    float value = static_cast<float>(rate) / 100.0f;
    while (static_cast<int>(static_cast<double>(value) * 100.0) < rate) value = std::nextafter(value, 2.0f);
    return value;
}

}  // namespace

const PortScale& of(std::uint32_t slot) { return scales[ParameterTable::appliedOrder.at(slot)]; }

float stored(std::uint32_t slot, float portValue) noexcept {
    const PortScale& scale = scales[ParameterTable::appliedOrder[slot]];
    const double value = std::isnan(portValue)
                             ? scale.minimum
                             : std::clamp(static_cast<double>(portValue), static_cast<double>(scale.minimum),
                                          static_cast<double>(scale.maximum));
    switch (scale.kind) {
        case Kind::plain:
        case Kind::seconds: return static_cast<float>(value);
        case Kind::percent: return static_cast<float>(value / 100.0);
        case Kind::cutoff: return std::min(1.0f, static_cast<float>(std::log(value - lowestCutoff) / cutoffLogSpan));
        case Kind::resonance: return static_cast<float>(std::log10(value) / 2.0);
        case Kind::lfoRate:
            return storedLfoRate(
                std::clamp(static_cast<int>(std::lround(value * lfoStepsPerHertz)), slowestLfoRate, fastestLfoRate));
        case Kind::toggle: return value > 0.0 ? 1.0f : 0.0f;
        case Kind::choice: return scale.points[std::lround(value)].stored;
    }
    return static_cast<float>(value);
}

namespace {

float unclampedShown(const PortScale& scale, float storedValue) {
    const auto value = static_cast<double>(storedValue);
    switch (scale.kind) {
        case Kind::plain:
        case Kind::seconds: return storedValue;
        case Kind::percent: return static_cast<float>(value * 100.0);
        case Kind::cutoff: return static_cast<float>(std::exp(value * cutoffLogSpan) + lowestCutoff);
        case Kind::resonance: return static_cast<float>(std::pow(10.0, 2.0 * value));
        case Kind::lfoRate:
            return static_cast<float>(std::max(static_cast<int>(value * 100.0), slowestLfoRate) / lfoStepsPerHertz);
        case Kind::toggle: return storedValue > 0.0f ? 1.0f : 0.0f;
        case Kind::choice:
            for (int step = 0; step < scale.pointCount; ++step) {
                if (scale.points[step].stored == storedValue) return static_cast<float>(step);
            }
            return static_cast<float>(scale.pointCount - 1);
    }
    return storedValue;
}

}  // namespace

// The cutoff's top, worked out in single precision, lies a few thousandths above 13000 Hz.
float shown(std::uint32_t slot, float storedValue) {
    const PortScale& scale = of(slot);
    return std::clamp(unclampedShown(scale, storedValue), scale.minimum, scale.maximum);
}

}  // namespace PortScales
