#pragma once

#include "SoundFileInput.h"
#include "loopfile/RexFileWriter.h"

#include <cstdint>
#include <vector>

// Places slices of a recorded loop in musical time: 960 ticks per quarter note, four quarter notes
// to the bar, at the loop's tempo.
class LoopLayout {
public:
    static constexpr uint32_t ticksPerQuarter = 960;

    LoopLayout(double tempoBpm, uint32_t bars);

    uint32_t loopLength() const;
    // The tick at which a frame falls; throws a ToolError past the last tick a slice can name.
    uint16_t positionOf(uint32_t frame, int sampleRate) const;
    // One slice per start frame (ascending, inside the sound), each running to the next.
    RexLoopContent build(const SoundFile& sound, const std::vector<uint32_t>& sliceFrames) const;

private:
    double tempo;
    uint32_t barCount;
};
