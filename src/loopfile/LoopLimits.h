#pragma once

#include <cstdint>

// The most sample values (frames times channels) a loop may hold, whatever its format. Read as
// floats it takes 256 MiB, which a 32-bit host can still find beside its own memory, and reading it
// stays a matter of a second; a real loop is a few seconds long. Every reader and the loop tool
// refuse more before they read the samples.
constexpr std::uint64_t maximumLoopSamples = std::uint64_t{1} << 26;
// The limit as messages state it.
constexpr const char* maximumLoopSamplesText = "67108864 sample values (256 MiB as floats)";
