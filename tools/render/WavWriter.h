#pragma once

#include "AudioSink.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Streams stereo audio into a RIFF WAVE file, as 32-bit IEEE floats or as 24-bit integers. The
// header's sizes are filled in by `finish`; a file that was never finished is incomplete.
class WavWriter : public AudioSink {
public:
    enum class Format { float32, pcm24 };

    WavWriter(const std::string& path, Format format, std::int32_t sampleRate);

    // Throws std::runtime_error when the file cannot take the data.
    void write(const float* left, const float* right, std::int32_t frames) override;
    void finish();

    // A 24-bit sample: the float scaled by 2^23, rounded, and clipped to the integer range.
    static std::int32_t toPcm24(float sample);

private:
    int sampleBytes() const { return format == Format::float32 ? 4 : 3; }
    void writeHeader();
    void fail() const;

    std::string path;
    Format format;
    std::int32_t sampleRate;
    std::ofstream stream;
    std::uint64_t dataBytes = 0;
    std::vector<std::uint8_t> buffer;
};
