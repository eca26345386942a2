#pragma once

#include <cstdint>

// A short MIDI message as the instrument takes it from any plug-in format: its bytes (unused ones
// zero) and the frame of the block it applies at.
struct MidiMessage {
    std::int32_t frame = 0;
    std::uint8_t bytes[3] = {};
};
