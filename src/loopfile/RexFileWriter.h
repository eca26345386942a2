#pragma once

#include "engine/EngineConstants.h"
#include "loopfile/AiffChunk.h"
#include "loopfile/SliceInfo.h"

#include <cstdint>
#include <string>
#include <vector>

// What a well-formed REX loop file holds.
struct RexLoopContent {
    int16_t channelCount = 1;
    int16_t bitsPerSample = 16;  // 8, 16 or 24
    int32_t sampleRate = engineSampleRate;
    uint32_t tempoField = 120000;   // tempo x 1000
    uint32_t loopLength = 0;        // ticks, 960 per quarter note
    std::vector<float> samples;     // interleaved by channel, in [-1, 1)
    std::vector<SliceInfo> slices;  // start and length count sample values, not frames
};

// Builds REX loop files: a FORM of type AIFF holding a list of chunks. `forLoop` lays out a
// well-formed file; the chunk list, the FORM header and each chunk's declared size and padding stay
// open to change, so that tests can build the damaged and hostile files a reader must survive.
class RexFileWriter {
public:
    RexFileWriter() = default;

    // "COMM", "APPL" (REX) and "SSND", in that order.
    static RexFileWriter forLoop(const RexLoopContent& loop);
    // A mono 16-bit 44.1 kHz loop whose slices start at `sliceStarts` (sample indices, ascending) and
    // fall at `positions` (ticks); each slice runs to the next one's start, the last to the end.
    static RexLoopContent monoLoop(std::vector<float> samples, const std::vector<uint32_t>& sliceStarts,
                                   const std::vector<uint16_t>& positions, double tempoBpm, uint32_t loopLength);
    // 16-bit integer samples as the floats they encode (value / 32768), which write back unchanged.
    static std::vector<float> samplesFromPcm16(const std::vector<int16_t>& pcm);

    std::vector<AiffChunk>& chunks() { return chunkList; }
    const std::vector<AiffChunk>& chunks() const { return chunkList; }
    // The first chunk with this identifier; throws std::out_of_range when there is none.
    AiffChunk& chunk(const std::string& identifier);
    void append(AiffChunk chunk);
    void removeChunks(const std::string& identifier);

    void setFormIdentifier(const std::string& identifier);
    void setFormType(const std::string& type);
    // Written instead of the true FORM size.
    void setDeclaredFormSize(uint32_t size);

    std::vector<uint8_t> bytes() const;
    // Writes the whole file or nothing: on failure no file is left at `path`.
    bool write(const std::string& path) const;

private:
    std::array<char, 4> formIdentifier{'F', 'O', 'R', 'M'};
    std::array<char, 4> formType{'A', 'I', 'F', 'F'};
    std::optional<uint32_t> declaredFormSize;
    std::vector<AiffChunk> chunkList;
};
