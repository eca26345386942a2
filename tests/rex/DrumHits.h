#pragma once

#include "LoopFiles.h"
#include "SoundFileInput.h"

#include <cstdint>
#include <vector>

// Synthesised drum hits as 16-bit sound: see drumHitSamples.
inline SoundFile drumHits(uint32_t frames, const std::vector<uint32_t>& hitFrames, int channels = 1, int rate = 44100) {
    SoundFile sound;
    sound.channels = channels;
    sound.sampleRate = rate;
    for (const float value : drumHitSamples(frames, hitFrames, channels, rate)) {
        sound.pcm.push_back(static_cast<int16_t>(value * 32768.0f));
    }
    return sound;
}

// Eight hits a quarter note apart at 120 bpm and 44.1 kHz: two bars.
inline std::vector<uint32_t> eightQuarterNoteHits() { return evenHits(8, 22050); }
