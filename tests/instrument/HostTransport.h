#pragma once

#include "plugin/VstAbi.h"

// A host's time answer while its transport plays at `tempo`, `positionInBar` quarter notes into a bar.
inline VstTimeInfo hostTransport(double tempo, double positionInBar) {
    VstTimeInfo time{};
    time.tempo = tempo;
    time.barStartPos = 8.0;
    time.ppqPos = 8.0 + positionInBar;
    time.flags = kVstPpqPosValid | kVstBarsValid | kVstTempoValid;
    return time;
}
