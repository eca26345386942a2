#pragma once

#include <lv2/urid/urid.h>

// The URIDs the wrapper compares and writes, mapped once when the plug-in is made.
struct Lv2Uris {
    explicit Lv2Uris(const LV2_URID_Map& map);

    LV2_URID atomDouble;
    LV2_URID atomFloat;
    LV2_URID atomInt;
    LV2_URID atomLong;
    LV2_URID atomPath;
    LV2_URID atomUrid;
    LV2_URID atomObject;
    LV2_URID atomBlank;
    LV2_URID atomSequence;
    LV2_URID atomBeatTime;
    LV2_URID bufSequenceSize;
    LV2_URID midiEvent;
    LV2_URID patchGet;
    LV2_URID patchSet;
    LV2_URID patchProperty;
    LV2_URID patchValue;
    LV2_URID timePosition;
    LV2_URID timeBar;
    LV2_URID timeBarBeat;
    LV2_URID timeBeatsPerBar;
    LV2_URID timeBeatsPerMinute;
    LV2_URID timeBeatUnit;
    LV2_URID timeSpeed;
    LV2_URID loop;
};
