#pragma once

#include "BarGrid.h"
#include "Song.h"
#include "TempoMap.h"
#include "plugin/VstAbi.h"

#include <cstdint>

// The transport a host reports while it plays the song from its start: position in samples and
// quarter notes, tempo, the current bar's start and time signature.
class HostClock {
public:
    static constexpr std::int32_t validFlags =
        kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;

    HostClock(const Song& song, double sampleRate);

    // The time record at the start of a block; the first block also reports that the transport started.
    VstTimeInfo timeAt(std::int64_t frame) const;
    const TempoMap& tempoMap() const { return tempo; }

private:
    TempoMap tempo;
    BarGrid bars;
    double rate;
};
