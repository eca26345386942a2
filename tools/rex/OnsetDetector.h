#pragma once

#include "SoundFileInput.h"

#include <cstdint>
#include <vector>

// Finds where hits begin: a window whose energy jumps well above the window before it, and loud
// enough against the loudest part of the sound, marks an onset, placed at the first frame there that
// comes near the hit's peak. The first frame always starts a slice.
class OnsetDetector {
public:
    explicit OnsetDetector(int sampleRate);

    // Frame indices, ascending, starting with 0.
    std::vector<uint32_t> detect(const SoundFile& sound) const;

private:
    std::vector<float> monoLevels(const SoundFile& sound) const;
    uint32_t firstLoudFrame(const std::vector<float>& levels, uint32_t from) const;

    uint32_t minimumGap;
};
