#pragma once

#include <cstdint>

// The rate loops play at unconverted, and the rate an engine starts at. The Windows libraries run at
// it whatever a host asks for; the Linux ones convert the slices to the host's rate and count
// envelope times, the filter, its LFO and the tempo follow at that rate instead.
constexpr std::int32_t engineSampleRate = 44100;
// The host rates the Linux libraries follow.
constexpr std::int32_t lowestSampleRate = 8000;
constexpr std::int32_t highestSampleRate = 384000;

// Slice i of a loop answers this note plus i, in the instrument, its groove export and the tools.
constexpr std::int32_t firstSliceNote = 36;
// The highest note a MIDI message can carry.
constexpr std::int32_t highestMidiNote = 127;
