#pragma once

#include "plugin/VstAbi.h"
#include "shared/HostTime.h"

#include <cstdint>

namespace VstTime {

// What the instrument asks a VST 2 host for: the transport, position and tempo.
constexpr std::int32_t requestMask = kVstTransportChanged | kVstTransportPlaying | kVstTransportCycleActive |
                                     kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid |
                                     kVstTimeSigValid;

// The host's answer in the instrument's terms; false, and `time` untouched, for no answer or one
// without bar and beat positions. The tempo is taken as it stands, whatever its flag says.
inline bool read(const VstTimeInfo* record, HostTime& time) {
    if (!record || !(record->flags & kVstBarsValid) || !(record->flags & kVstPpqPosValid)) return false;
    time.tempo = record->tempo;
    time.beat = record->ppqPos;
    time.barStartBeat = record->barStartPos;
    time.playing = (record->flags & kVstTransportPlaying) != 0;
    return true;
}

}  // namespace VstTime
