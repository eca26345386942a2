#include "LoopLayout.h"

#include "ToolError.h"

#include <cmath>
#include <limits>

LoopLayout::LoopLayout(double tempoBpm, uint32_t bars) : tempo(tempoBpm), barCount(bars) {}

uint32_t LoopLayout::loopLength() const { return barCount * 4 * ticksPerQuarter; }

uint16_t LoopLayout::positionOf(uint32_t frame, int sampleRate) const {
    const double ticks = std::round(frame * tempo * ticksPerQuarter / (60.0 * sampleRate));
    if (ticks > std::numeric_limits<uint16_t>::max()) {
        throw ToolError("the slice at frame " + std::to_string(frame) + " falls at tick " +
                        std::to_string(static_cast<uint64_t>(ticks)) +
                        ", past the 65535 ticks a slice position can hold");
    }
    return static_cast<uint16_t>(ticks);
}

RexLoopContent LoopLayout::build(const SoundFile& sound, const std::vector<uint32_t>& sliceFrames) const {
    if (sliceFrames.empty() || sliceFrames.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
        throw ToolError("a loop has 1 to 32767 slices");
    }
    RexLoopContent loop;
    loop.channelCount = static_cast<int16_t>(sound.channels);
    loop.sampleRate = sound.sampleRate;
    loop.tempoField = static_cast<uint32_t>(std::lround(tempo * 1000.0));
    loop.loopLength = loopLength();
    loop.samples = RexFileWriter::samplesFromPcm16(sound.pcm);
    const auto channels = static_cast<uint32_t>(sound.channels);
    for (size_t i = 0; i < sliceFrames.size(); ++i) {
        const uint32_t start = sliceFrames[i];
        const uint32_t end = i + 1 < sliceFrames.size() ? sliceFrames[i + 1] : sound.frames();
        if (start >= sound.frames()) {
            throw ToolError("slice frame " + std::to_string(start) + " lies past the end of the sound (" +
                            std::to_string(sound.frames()) + " frames)");
        }
        if (end <= start) {
            throw ToolError("slice frames must ascend");
        }
        loop.slices.push_back({start * channels, (end - start) * channels, positionOf(start, sound.sampleRate)});
    }
    return loop;
}
