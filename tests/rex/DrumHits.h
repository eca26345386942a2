#pragma once

#include "SoundFileInput.h"

#include <cmath>
#include <cstdint>
#include <vector>

// Synthesised drum hits: a decaying 180 Hz tone starting at full swing at each of `hitFrames`,
// silence between them, the same in every channel.
inline SoundFile drumHits(uint32_t frames, const std::vector<uint32_t>& hitFrames, int channels = 1, int rate = 44100) {
    SoundFile sound;
    sound.channels = channels;
    sound.sampleRate = rate;
    sound.pcm.assign(size_t{frames} * static_cast<size_t>(channels), 0);
    const auto hitLength = static_cast<uint32_t>(rate / 5);
    for (const uint32_t hit : hitFrames) {
        for (uint32_t i = 0; i < hitLength && hit + i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const auto value =
                static_cast<int16_t>(26000.0 * std::exp(-t / 0.03) * std::cos(2.0 * 3.141592653589793 * 180.0 * t));
            for (int c = 0; c < channels; ++c) {
                sound.pcm[(size_t{hit} + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] = value;
            }
        }
    }
    return sound;
}

// Eight hits a quarter note apart at 120 bpm and 44.1 kHz: two bars.
inline std::vector<uint32_t> eightQuarterNoteHits() {
    std::vector<uint32_t> hits;
    for (uint32_t i = 0; i < 8; ++i) {
        hits.push_back(i * 22050);
    }
    return hits;
}
