#pragma once

#include "shared/MidiMessage.h"

#include <array>
#include <cstddef>
#include <cstdint>

// One block's MIDI events as the instrument takes them, in storage made once:
// filling the list never allocates. Events beyond its capacity are dropped.
class MidiEventList {
public:
    static constexpr std::uint32_t capacity = 1024;

    void clear() noexcept { count = 0; }
    // Takes a channel message of its own length (two bytes for program change and channel pressure,
    // three for the others); answers false for anything else.
    bool add(const std::uint8_t* bytes, std::uint32_t size, std::int32_t deltaFrames) noexcept;
    std::uint32_t size() const noexcept { return count; }
    const MidiMessage* events() const noexcept { return storage.data(); }

private:
    std::uint32_t count = 0;
    std::array<MidiMessage, capacity> storage{};
};
