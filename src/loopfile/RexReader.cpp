#include "loopfile/RexReader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr uint32_t signatureSize = 4;
constexpr uint32_t headerSize = 1020;
constexpr uint32_t sliceRecordSize = 12;
constexpr int64_t headerFieldsSize = 20;
// Slices copy their samples. Slices may overlap, but a table whose slices together cover the samples
// more than this many times over would make a small file take a great deal of memory once loaded.
constexpr uint64_t sliceCoverageLimit = 2;

}  // namespace

RexReader::RexReader(InputFile& file) : AiffReader(file) {}

RexReader::~RexReader() = default;

const SliceInfo* RexReader::sliceInfo(uint32_t index) const { return index < slices.size() ? &slices[index] : nullptr; }

const float* RexReader::sliceSamples(uint32_t index) const {
    const SliceInfo* slice = sliceInfo(index);
    if (slice == nullptr) {
        return nullptr;
    }
    return samples() + std::min<uint32_t>(slice->start, static_cast<uint32_t>(sampleCount()));
}

void RexReader::readApplicationChunk(uint32_t size) {
    if (size < signatureSize) {
        refuse("an APPL chunk is too short to hold its signature");
        return;
    }
    uint8_t signature[signatureSize] = {};
    readBytes(signature, signatureSize);
    if (std::memcmp(signature, "REX ", signatureSize) != 0) {
        refuse("the APPL chunk belongs to another application than REX");
        return;
    }
    if (size < headerSize) {
        refuse("the REX chunk is too short for its header");
        return;
    }
    skipBytes(6);
    const uint32_t ticks = readBigEndian32();
    const auto count = static_cast<int16_t>(readBigEndian16());
    const uint32_t tempoField = readBigEndian32();
    if (count < 0) {
        refuse("the REX chunk gives a negative slice count");
        return;
    }
    if (size < headerSize + sliceRecordSize * static_cast<uint32_t>(count)) {
        refuse("the REX chunk is too short for its slice table");
        return;
    }
    skipBytes(headerSize - headerFieldsSize);
    std::vector<SliceInfo> table(static_cast<size_t>(count));
    for (SliceInfo& slice : table) {
        slice.start = readBigEndian32();
        slice.length = readBigEndian32();
        readBigEndian16();  // unused by this system
        slice.position = readBigEndian16();
    }
    setSliceTable(std::move(table), ticks, tempoField);
}

void RexReader::setSliceTable(std::vector<SliceInfo> table, uint32_t ticks, uint32_t tempoField) {
    slices.swap(table);
    loopTicks = ticks;
    loopTempo = tempoFromField(tempoField);
}

// The single-precision 0.001 applied in double precision: 120000 gives 120.00000762939453, the value
// the groove export's tempo depends on.
float RexReader::tempoFromField(uint32_t tempoField) {
    return static_cast<float>(static_cast<double>(tempoField) * static_cast<double>(0.001f));
}

void RexReader::finishParse() {
    if (failed()) {
        slices.clear();
        return;
    }
    const auto available = static_cast<uint32_t>(sampleCount());
    uint64_t covered = 0;
    for (SliceInfo& slice : slices) {
        const uint32_t room = slice.start < available ? available - slice.start : 0;
        slice.length = std::min(slice.length, room);
        covered += slice.length;
    }
    if (covered > sliceCoverageLimit * available) {
        refuse("the slices overlap so much that they would take more than " + std::to_string(sliceCoverageLimit) +
               " times the memory of the loop's samples");
        slices.clear();
    }
}
