#pragma once

#include "plugin/VstAbi.h"

#include <array>
#include <cstddef>
#include <cstdint>

// One block's MIDI events as the instrument takes them from a VST 2 host, in storage made once:
// filling the list never allocates. Events beyond its capacity are dropped.
class MidiEventList {
public:
    static constexpr std::int32_t capacity = 1024;

    void clear() noexcept { list.numEvents = 0; }
    // Takes a channel message of its own length (two bytes for program change and channel pressure,
    // three for the others); answers false for anything else.
    bool add(const std::uint8_t* bytes, std::uint32_t size, std::int32_t deltaFrames) noexcept;
    std::int32_t size() const noexcept { return list.numEvents; }
    // Laid out as a host's VstEvents record sized to the events.
    VstEvents* events() noexcept { return reinterpret_cast<VstEvents*>(&list); }

private:
    struct SizedEvents {
        std::int32_t numEvents = 0;
        VstIntPtr reserved = 0;
        std::array<VstEvent*, capacity> events{};
    };
    static_assert(offsetof(SizedEvents, events) == offsetof(VstEvents, events));

    SizedEvents list;
    std::array<VstMidiEvent, capacity> storage{};
};
