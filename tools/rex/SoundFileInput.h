#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 16-bit PCM sound read from a WAV or AIFF file, interleaved by channel.
struct SoundFile {
    int channels = 0;
    int sampleRate = 0;
    std::vector<int16_t> pcm;

    uint32_t frames() const {
        return channels > 0 ? static_cast<uint32_t>(pcm.size() / static_cast<size_t>(channels)) : 0;
    }
};

// Where the onset detector hears hits begin: frame indices, ascending, from 0.
std::vector<uint32_t> detectOnsets(const SoundFile& sound);

class SoundFileInput {
public:
    // Mono or stereo 16-bit WAV or AIFF only; anything else throws a ToolError saying why.
    static SoundFile read(const std::string& path);
};
