#pragma once

#include "loopfile/AiffReader.h"
#include "loopfile/SliceInfo.h"

#include <cstdint>
#include <vector>

// Reads a REX loop: an AIFF file whose "APPL" chunk, signed "REX ", holds the loop's tempo, its length
// in ticks and the slice table. Once parsed, every slice lies inside the converted samples: a slice
// running past their end is cut short there, one starting beyond it has length 0. A table whose
// slices together cover the samples many times over is refused, for the memory it would take.
class RexReader : public AiffReader {
public:
    explicit RexReader(InputFile& input);
    ~RexReader() override;

    int32_t sliceCount() const { return static_cast<int32_t>(slices.size()); }
    // Null when `index` is not below `sliceCount`.
    const SliceInfo* sliceInfo(uint32_t index) const;
    // The slice's first sample value, to be read for the record's `length` values; null as `sliceInfo`.
    const float* sliceSamples(uint32_t index) const;
    // Beats per minute: the stored tempo x 1000 scaled by the single-precision 0.001.
    float tempo() const { return loopTempo; }
    uint32_t loopLength() const { return loopTicks; }
    // The tempo a REX chunk's field (tempo x 1000) stands for.
    static float tempoFromField(uint32_t tempoField);

protected:
    // A table worked out rather than read, with the loop's length in ticks and its tempo field.
    void setSliceTable(std::vector<SliceInfo> table, uint32_t ticks, uint32_t tempoField);
    void readApplicationChunk(uint32_t size) override;
    void finishParse() override;

private:
    std::vector<SliceInfo> slices;
    uint32_t loopTicks = 0;
    float loopTempo = 0.0f;
};
