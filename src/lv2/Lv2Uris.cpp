#include "lv2/Lv2Uris.h"

#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

namespace {

LV2_URID mapped(const LV2_URID_Map& map, const char* uri) { return map.map(map.handle, uri); }

}  // namespace

Lv2Uris::Lv2Uris(const LV2_URID_Map& map)
    : atomDouble(mapped(map, LV2_ATOM__Double)),
      atomFloat(mapped(map, LV2_ATOM__Float)),
      atomInt(mapped(map, LV2_ATOM__Int)),
      atomLong(mapped(map, LV2_ATOM__Long)),
      atomPath(mapped(map, LV2_ATOM__Path)),
      atomUrid(mapped(map, LV2_ATOM__URID)),
      atomObject(mapped(map, LV2_ATOM__Object)),
      atomBlank(mapped(map, LV2_ATOM__Blank)),
      atomSequence(mapped(map, LV2_ATOM__Sequence)),
      atomBeatTime(mapped(map, LV2_ATOM__beatTime)),
      bufSequenceSize(mapped(map, LV2_BUF_SIZE__sequenceSize)),
      midiEvent(mapped(map, LV2_MIDI__MidiEvent)),
      patchGet(mapped(map, LV2_PATCH__Get)),
      patchSet(mapped(map, LV2_PATCH__Set)),
      patchProperty(mapped(map, LV2_PATCH__property)),
      patchValue(mapped(map, LV2_PATCH__value)),
      timePosition(mapped(map, LV2_TIME__Position)),
      timeBar(mapped(map, LV2_TIME__bar)),
      timeBarBeat(mapped(map, LV2_TIME__barBeat)),
      timeBeatsPerBar(mapped(map, LV2_TIME__beatsPerBar)),
      timeBeatsPerMinute(mapped(map, LV2_TIME__beatsPerMinute)),
      timeBeatUnit(mapped(map, LV2_TIME__beatUnit)),
      timeSpeed(mapped(map, LV2_TIME__speed)),
      loop(mapped(map, Lv2Identity::loopPropertyUri)) {}
