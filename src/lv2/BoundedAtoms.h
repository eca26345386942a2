#pragma once

#include "lv2/Lv2Uris.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>

#include <cstddef>
#include <cstdint>

// Reading atoms that a host (or anyone writing into the control port) may have sized wrongly:
// nothing is read past the end of the container whose size was checked, and a part that does not
// fit ends the walk. The published iteration helpers trust every size they meet.
class BoundedAtoms {
public:
    // Calls `visit(frames, atom)` for each event lying wholly inside the sequence, in order.
    template <typename Visit>
    static void forEachEvent(const LV2_Atom_Sequence* sequence, Visit&& visit) noexcept {
        if (!sequence || sequence->atom.size < sizeof(LV2_Atom_Sequence_Body)) return;
        const auto* cursor = reinterpret_cast<const std::uint8_t*>(&sequence->body + 1);
        std::size_t remaining = sequence->atom.size - sizeof(LV2_Atom_Sequence_Body);
        while (remaining >= sizeof(LV2_Atom_Event)) {
            const auto* event = reinterpret_cast<const LV2_Atom_Event*>(cursor);
            const std::size_t bodySize = event->body.size;
            if (bodySize > remaining - sizeof(LV2_Atom_Event)) return;
            visit(event->time.frames, event->body);
            const std::size_t step = sizeof(LV2_Atom_Event) + lv2_atom_pad_size(event->body.size);
            if (step >= remaining) return;
            cursor += step;
            remaining -= step;
        }
    }

    // The object in this atom when it is one and its header fits; null otherwise.
    static const LV2_Atom_Object* object(const LV2_Atom& atom, const Lv2Uris& uris) noexcept;
    // The value stored under `key`, when it lies wholly inside the object; null otherwise.
    static const LV2_Atom* property(const LV2_Atom_Object& object, LV2_URID key) noexcept;
    // The value of an Int, Long, Float or Double atom of the right size.
    static bool number(const LV2_Atom* atom, const Lv2Uris& uris, double& value) noexcept;
    // The text of a Path atom that ends in its terminator and has no other, or null.
    static const char* path(const LV2_Atom* atom, const Lv2Uris& uris) noexcept;
};
