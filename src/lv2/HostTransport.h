#pragma once

#include "lv2/Lv2Uris.h"
#include "shared/HostTime.h"

#include <lv2/atom/atom.h>

#include <cstdint>

// The host's transport as the instrument's tempo follow reads it: LV2 hosts send a time:Position
// only when something changes, while the instrument wants the time of every block, so between
// positions the bar and beat are carried forward here at the given tempo and speed.
class HostTransport {
public:
    explicit HostTransport(double hostSampleRate) : sampleRate(hostSampleRate) {}

    // A position that applies `frameOffset` frames into the coming block. One with a tempo that is
    // not a positive number, or with any value that is not finite, is ignored whole.
    void take(const LV2_Atom_Object& position, std::int64_t frameOffset, const Lv2Uris& uris) noexcept;
    void advance(std::uint32_t frames) noexcept;
    // Until the next position the host has no time to give.
    void forget() noexcept { known = false; }
    // The time at the start of the coming block, or null.
    const HostTime* time() noexcept;

private:
    double beatsPerFrame() const noexcept { return speed * tempo / 60.0 / sampleRate; }
    // Keeps the beat inside its bar, moving whole bars into the bar count.
    void wrapIntoBar() noexcept;

    double sampleRate;
    bool known = false;
    double tempo = 0.0;
    double bar = 0.0;
    double barBeat = 0.0;
    double beatsPerBar = 4.0;
    // The note value of one beat (4: a quarter note), in which LV2 counts beats and tempo.
    double beatUnit = 4.0;
    double speed = 0.0;
    HostTime now;
};
