#include "lv2/HostTransport.h"

#include "lv2/BoundedAtoms.h"

#include <cmath>

namespace {

// The value under `key` when it is present; false when present but not a finite number.
bool finiteOrAbsent(const LV2_Atom_Object& position, LV2_URID key, const Lv2Uris& uris, double& value,
                    bool& present) noexcept {
    const LV2_Atom* atom = BoundedAtoms::property(position, key);
    present = atom != nullptr;
    if (!present) return true;
    return BoundedAtoms::number(atom, uris, value) && std::isfinite(value);
}

}  // namespace

void HostTransport::take(const LV2_Atom_Object& position, std::int64_t frameOffset, const Lv2Uris& uris) noexcept {
    double newTempo = tempo, newBar = bar, newBarBeat = barBeat, newBeatsPerBar = beatsPerBar, newSpeed = speed,
           newBeatUnit = beatUnit;
    bool hasTempo = false, hasBar = false, hasBeat = false, hasBeatsPerBar = false, hasSpeed = false,
         hasBeatUnit = false;
    if (!finiteOrAbsent(position, uris.timeBeatsPerMinute, uris, newTempo, hasTempo) ||
        !finiteOrAbsent(position, uris.timeBar, uris, newBar, hasBar) ||
        !finiteOrAbsent(position, uris.timeBarBeat, uris, newBarBeat, hasBeat) ||
        !finiteOrAbsent(position, uris.timeBeatsPerBar, uris, newBeatsPerBar, hasBeatsPerBar) ||
        !finiteOrAbsent(position, uris.timeSpeed, uris, newSpeed, hasSpeed) ||
        !finiteOrAbsent(position, uris.timeBeatUnit, uris, newBeatUnit, hasBeatUnit))
        return;
    if (!(newTempo > 0.0) || !(newBeatsPerBar > 0.0) || !(newBeatUnit > 0.0)) return;
    // Without a tempo and a place in the bar there is nothing to follow yet.
    if (!(known || (hasTempo && hasBeat))) return;

    tempo = newTempo;
    bar = newBar;
    barBeat = newBarBeat;
    beatsPerBar = newBeatsPerBar;
    speed = newSpeed;
    beatUnit = newBeatUnit;
    known = true;
    barBeat -= static_cast<double>(frameOffset) * beatsPerFrame();
    wrapIntoBar();
}

void HostTransport::advance(std::uint32_t frames) noexcept {
    if (!known) return;
    barBeat += static_cast<double>(frames) * beatsPerFrame();
    wrapIntoBar();
}

void HostTransport::wrapIntoBar() noexcept {
    const double wholeBars = std::floor(barBeat / beatsPerBar);
    if (wholeBars == 0.0 || !std::isfinite(wholeBars)) return;
    bar += wholeBars;
    barBeat -= wholeBars * beatsPerBar;
}

const VstTimeInfo* HostTransport::timeInfo() noexcept {
    if (!known) return nullptr;
    // VST 2 counts positions in quarter notes and tempo in quarter notes per minute.
    const double quartersPerBeat = 4.0 / beatUnit;
    record = VstTimeInfo{};
    record.sampleRate = sampleRate;
    record.tempo = tempo * quartersPerBeat;
    record.barStartPos = bar * beatsPerBar * quartersPerBeat;
    record.ppqPos = record.barStartPos + barBeat * quartersPerBeat;
    record.flags = kVstPpqPosValid | kVstBarsValid | kVstTempoValid | (speed != 0.0 ? kVstTransportPlaying : 0);
    return &record;
}
