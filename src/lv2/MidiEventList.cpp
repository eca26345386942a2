#include "lv2/MidiEventList.h"

#include <cstddef>

bool MidiEventList::add(const std::uint8_t* bytes, std::uint32_t size, std::int32_t deltaFrames) noexcept {
    // System messages carry nothing the engine plays, and a running-status byte has no status to run on.
    if (!bytes || size == 0 || bytes[0] < 0x80 || bytes[0] >= 0xF0) return false;
    const std::uint8_t kind = bytes[0] & 0xF0;
    const std::uint32_t length = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    // A shortened note-on would reach the engine as a note-off.
    if (size != length) return false;
    if (count >= capacity) return false;
    MidiMessage& message = storage[count++];
    message = MidiMessage{};
    message.frame = deltaFrames;
    for (std::uint32_t i = 0; i < size; ++i) message.bytes[i] = bytes[i];
    return true;
}
