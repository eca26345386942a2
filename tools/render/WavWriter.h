#pragma once

#include "AudioSink.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Streams stereo audio into a RIFF WAVE file, as 32-bit IEEE floats or as 24-bit integers. Blocks
// are converted and interleaved into a large buffer that goes to the file whole, so that a long
// render costs a few hundred writes rather than one per block. The header's sizes are filled in by
// `finish`; a file that was never finished is incomplete.
class WavWriter : public AudioSink {
public:
    enum class Format { float32, pcm24 };

    // Messages name the file `shownAs` when given: the user's output, where `path` is a temporary
    // file beside it.
    WavWriter(const std::string& path, Format format, std::int32_t sampleRate, const std::string& shownAs = {});

    // Throws std::runtime_error when the file cannot take the data.
    void write(const float* left, const float* right, std::int32_t frames) override;
    void finish();

    // A 24-bit sample: the float scaled by 2^23, rounded, and clipped to the integer range.
    static std::int32_t toPcm24(float sample);
    // Throws std::runtime_error when that many frames pass the 4 GiB a WAV file can hold, so that
    // a render too long for the format fails before it starts.
    static void checkLength(std::int64_t frames, Format format);

private:
    std::size_t frameBytes() const;
    void convert(const float* left, const float* right, std::int32_t frames);
    void flush(bool everything);
    std::vector<std::uint8_t> header() const;
    void fail() const;

    std::string shownName;
    Format format;
    std::int32_t sampleRate;
    std::ofstream stream;
    std::uint64_t dataBytes = 0;
    std::vector<std::uint8_t> buffer;
    std::size_t filled = 0;
};
