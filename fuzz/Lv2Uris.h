#pragma once

#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>

namespace fuzzing {

// The URID map of the LV2 fuzz target and its seeds: the URIs the plug-in reads are numbered first,
// in this order, so that a seed's numbers mean the same to the target.
struct Lv2UridMap {
    Lv2UridMap() {
        for (const char* uri : {LV2_ATOM__Sequence,
                                LV2_ATOM__Object,
                                LV2_ATOM__Blank,
                                LV2_ATOM__URID,
                                LV2_ATOM__Path,
                                LV2_ATOM__Long,
                                LV2_ATOM__Int,
                                LV2_ATOM__Float,
                                LV2_ATOM__Double,
                                LV2_ATOM__frameTime,
                                LV2_MIDI__MidiEvent,
                                LV2_PATCH__Get,
                                LV2_PATCH__Set,
                                LV2_PATCH__property,
                                LV2_PATCH__value,
                                LV2_TIME__Position,
                                LV2_TIME__bar,
                                LV2_TIME__barBeat,
                                LV2_TIME__beatUnit,
                                LV2_TIME__beatsPerBar,
                                LV2_TIME__beatsPerMinute,
                                LV2_TIME__speed,
                                Lv2Identity::loopPropertyUri}) {
            (*this)(uri);
        }
    }
    LV2_URID operator()(const char* uri) { return feature.map(feature.handle, uri); }

    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map feature{this, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                             auto& known = static_cast<Lv2UridMap*>(handle)->ids;
                             return known.emplace(uri, static_cast<LV2_URID>(known.size() + 1)).first->second;
                         }};
};

}  // namespace fuzzing
