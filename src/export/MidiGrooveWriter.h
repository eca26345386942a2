#pragma once

#include <cstdint>

class OutputFile;
class RexReader;

// Writes `value` as a Standard MIDI File variable-length quantity (1 to 4 bytes) and answers the
// byte count. Values outside 0 ... 0x0FFFFFFF are clamped into that range first.
int encodeVariableLength(std::int32_t value, std::uint8_t* destination);

// The loop's rhythm as a format-1 Standard MIDI File at 960 ticks per quarter note: one note per
// slice, on the note the instrument plays that slice with, lasting until the next slice begins.
// Write errors collect in the output file's state for the caller to ask.
void writeMidiGroove(const RexReader& reader, OutputFile& output);
