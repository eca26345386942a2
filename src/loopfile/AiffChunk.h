#pragma once

#include "loopfile/SliceInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The fields of a REX application chunk as they are written. The count field and the signature
// are written as given, so a chunk can disagree with its own table.
struct RexChunkFields {
    std::string signature = "REX ";
    uint32_t loopLength = 0;
    uint32_t tempoField = 120000;  // tempo x 1000
    std::vector<SliceInfo> slices;
    std::optional<int16_t> sliceCountField;  // written instead of the table's size when set
    uint32_t trailingBytes = 0;              // zero bytes after the slice table
};

// One chunk of an AIFF file as the writer lays it out. The size written and the pad byte can be set
// apart from the body, so that a file can lie about itself.
struct AiffChunk {
    std::array<char, 4> identifier{};
    std::vector<uint8_t> body;
    std::optional<uint32_t> declaredSize;  // written instead of the body's size when set
    bool padded = true;                    // an odd-sized body is followed by a zero byte

    static AiffChunk raw(const std::string& identifier, std::vector<uint8_t> body);
    static AiffChunk common(int16_t channelCount, uint32_t sampleFrames, int16_t bitsPerSample, int32_t sampleRate);
    // `offset` zero bytes come between the header and the sample bytes.
    static AiffChunk soundData(const std::vector<uint8_t>& sampleBytes, uint32_t offset = 0, uint32_t blockSize = 0);
    static AiffChunk rex(const RexChunkFields& fields);

    // Big-endian signed integers of `bitsPerSample` (1 to 24) bits, left-justified in whole bytes.
    // Values are rounded to the nearest step and limited to the range the size holds.
    static std::vector<uint8_t> encodeSamples(const std::vector<float>& samples, int16_t bitsPerSample);
    // The rate as an 80-bit extended float.
    static std::array<uint8_t, 10> extendedRate(int32_t sampleRate);
};
