#pragma once

#include <cstdint>

// The one rate the instrument runs at: envelope times, the filter and its LFO, and the tempo
// follow all count samples at it, whatever rate a host asks for.
constexpr std::int32_t engineSampleRate = 44100;

// Slice i of a loop answers this note plus i, in the instrument, its groove export and the tools.
constexpr std::int32_t firstSliceNote = 36;
// The highest note a MIDI message can carry.
constexpr std::int32_t highestMidiNote = 127;
