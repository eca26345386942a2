#include "lv2/BoundedAtoms.h"

#include <cstring>

const LV2_Atom_Object* BoundedAtoms::object(const LV2_Atom& atom, const Lv2Uris& uris) noexcept {
    if (atom.type != uris.atomObject && atom.type != uris.atomBlank) return nullptr;
    if (atom.size < sizeof(LV2_Atom_Object_Body)) return nullptr;
    return reinterpret_cast<const LV2_Atom_Object*>(&atom);
}

const LV2_Atom* BoundedAtoms::property(const LV2_Atom_Object& object, LV2_URID key) noexcept {
    const auto* cursor = reinterpret_cast<const std::uint8_t*>(&object.body + 1);
    std::size_t remaining = object.atom.size - sizeof(LV2_Atom_Object_Body);
    while (remaining >= sizeof(LV2_Atom_Property_Body)) {
        const auto* entry = reinterpret_cast<const LV2_Atom_Property_Body*>(cursor);
        if (entry->value.size > remaining - sizeof(LV2_Atom_Property_Body)) return nullptr;
        if (entry->key == key) return &entry->value;
        const std::size_t step = sizeof(LV2_Atom_Property_Body) + lv2_atom_pad_size(entry->value.size);
        if (step >= remaining) return nullptr;
        cursor += step;
        remaining -= step;
    }
    return nullptr;
}

namespace {

template <typename Number>
bool read(const LV2_Atom* atom, double& value) noexcept {
    if (atom->size != sizeof(Number)) return false;
    Number stored;
    std::memcpy(&stored, atom + 1, sizeof stored);
    value = static_cast<double>(stored);
    return true;
}

}  // namespace

bool BoundedAtoms::number(const LV2_Atom* atom, const Lv2Uris& uris, double& value) noexcept {
    if (!atom) return false;
    if (atom->type == uris.atomFloat) return read<float>(atom, value);
    if (atom->type == uris.atomDouble) return read<double>(atom, value);
    if (atom->type == uris.atomInt) return read<std::int32_t>(atom, value);
    if (atom->type == uris.atomLong) return read<std::int64_t>(atom, value);
    return false;
}

const char* BoundedAtoms::path(const LV2_Atom* atom, const Lv2Uris& uris) noexcept {
    if (!atom || atom->type != uris.atomPath || atom->size < 2) return nullptr;
    const auto* text = reinterpret_cast<const char*>(atom + 1);
    return std::memchr(text, '\0', atom->size) == text + atom->size - 1 ? text : nullptr;
}
