#pragma once

#include "lv2/Lv2Identity.h"

#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>

// The events the test hosts put in the plug-in's control sequence, each written one way.
namespace Lv2Events {

inline void midi(LV2_Atom_Forge& forge, LV2_URID_Map& map, std::int64_t frame, std::uint8_t status, std::uint8_t data1,
                 std::uint8_t data2) {
    const std::uint8_t bytes[3] = {status, data1, data2};
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_atom(&forge, 3, map.map(map.handle, LV2_MIDI__MidiEvent));
    lv2_atom_forge_write(&forge, bytes, 3);
}

// A patch:Set of the loop property, as a host's file chooser sends it.
inline void setLoop(LV2_Atom_Forge& forge, LV2_URID_Map& map, std::int64_t frame, const std::string& path) {
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &object, 0, map.map(map.handle, LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, map.map(map.handle, Lv2Identity::loopPropertyUri));
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_PATCH__value));
    lv2_atom_forge_path(&forge, path.c_str(), static_cast<std::uint32_t>(path.size()));
    lv2_atom_forge_pop(&forge, &object);
}

}  // namespace Lv2Events
