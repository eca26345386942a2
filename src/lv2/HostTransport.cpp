#include "lv2/HostTransport.h"

#include "lv2/BoundedAtoms.h"

#include <cmath>

namespace {

// Takes the value under `key` when there is one; false when it is there but not a finite number.
bool takeFinite(const LV2_Atom_Object& position, LV2_URID key, const Lv2Uris& uris, double& value) noexcept {
    const LV2_Atom* atom = BoundedAtoms::property(position, key);
    if (!atom) return true;
    double read = 0.0;
    if (!BoundedAtoms::number(atom, uris, read) || !std::isfinite(read)) return false;
    value = read;
    return true;
}

}  // namespace

void HostTransport::take(const LV2_Atom_Object& position, std::int64_t frameOffset, const Lv2Uris& uris) noexcept {
    double newTempo = tempo, newBar = bar, newBarBeat = barBeat, newBeatsPerBar = beatsPerBar, newSpeed = speed,
           newBeatUnit = beatUnit;
    if (!takeFinite(position, uris.timeBeatsPerMinute, uris, newTempo) ||
        !takeFinite(position, uris.timeBar, uris, newBar) ||
        !takeFinite(position, uris.timeBarBeat, uris, newBarBeat) ||
        !takeFinite(position, uris.timeBeatsPerBar, uris, newBeatsPerBar) ||
        !takeFinite(position, uris.timeSpeed, uris, newSpeed) ||
        !takeFinite(position, uris.timeBeatUnit, uris, newBeatUnit))
        return;
    if (!(newTempo > 0.0) || !(newBeatsPerBar > 0.0) || !(newBeatUnit > 0.0)) return;
    // Without a place in the bar there is nothing to follow yet.
    if (!known && !BoundedAtoms::property(position, uris.timeBarBeat)) return;

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

const HostTime* HostTransport::time() noexcept {
    if (!known) return nullptr;
    // The instrument counts positions in quarter notes and tempo in quarter notes per minute.
    const double quartersPerBeat = 4.0 / beatUnit;
    now.tempo = tempo * quartersPerBeat;
    now.barStartBeat = bar * beatsPerBar * quartersPerBeat;
    now.beat = now.barStartBeat + barBeat * quartersPerBeat;
    now.playing = speed != 0.0;
    return &now;
}
