#pragma once

#include "TempDir.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexFileWriter.h"
#include "loopfile/RexReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// A loop whose slices all have `framesPerSlice` frames, at the given tick positions.
inline RexLoopContent loopWithPositions(const std::vector<uint16_t>& positions, uint32_t loopLength,
                                        uint32_t tempoField = 120000, uint32_t framesPerSlice = 4) {
    RexLoopContent loop;
    loop.tempoField = tempoField;
    loop.loopLength = loopLength;
    loop.samples.assign(positions.size() * framesPerSlice, 0.25f);
    for (size_t i = 0; i < positions.size(); ++i) {
        loop.slices.push_back({static_cast<uint32_t>(i * framesPerSlice), framesPerSlice, positions[i]});
    }
    return loop;
}

// Eight slices of a recognisable level each (slice i holds (i + 1) / 16), a quarter of a beat apart.
inline RexLoopContent eightSliceLoop(uint32_t framesPerSlice = 64) {
    RexLoopContent loop;
    loop.loopLength = 8 * 240;
    for (uint32_t i = 0; i < 8; ++i) {
        loop.samples.insert(loop.samples.end(), framesPerSlice, static_cast<float>(i + 1) / 16.0f);
        loop.slices.push_back({i * framesPerSlice, framesPerSlice, static_cast<uint16_t>(i * 240)});
    }
    return loop;
}

inline std::string writeLoopFile(const TempDir& dir, const std::string& name, const RexLoopContent& loop) {
    const std::string path = dir.file(name);
    RexFileWriter::forLoop(loop).write(path);
    return path;
}

// A reader that has parsed a loop file, with the file it read kept open beside it.
struct ReadLoop {
    explicit ReadLoop(const std::string& path) : file(path.c_str()), reader(file) { reader.parse(); }
    InputFile file;
    RexReader reader;
};

// Drum hits: a decaying 180 Hz tone starting at full swing (0.79 of full scale) at each of
// `hitFrames`, silence between them, the same in every channel.
inline std::vector<float> drumHitSamples(uint32_t frames, const std::vector<uint32_t>& hitFrames, int channels = 1,
                                         int rate = 44100) {
    std::vector<float> samples(size_t{frames} * static_cast<size_t>(channels), 0.0f);
    const auto hitLength = static_cast<uint32_t>(rate / 5);
    for (const uint32_t hit : hitFrames) {
        for (uint32_t i = 0; i < hitLength && hit + i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const auto value = static_cast<float>(26000.0 / 32768.0 * std::exp(-t / 0.03) *
                                                  std::cos(2.0 * 3.141592653589793 * 180.0 * t));
            for (int c = 0; c < channels; ++c) samples[(size_t{hit} + i) * static_cast<size_t>(channels) + c] = value;
        }
    }
    return samples;
}

// `count` hits `spacing` frames apart from frame 0.
inline std::vector<uint32_t> evenHits(uint32_t count, uint32_t spacing) {
    std::vector<uint32_t> hits;
    for (uint32_t i = 0; i < count; ++i) hits.push_back(i * spacing);
    return hits;
}

// A WAV file: "fmt " (integers of `bits` bits, or 32-bit floats; in the extensible layout when asked),
// the extra chunks, then "data". Integers are rounded to the nearest step; 8 bits lie around 128.
struct WaveFile {
    int16_t channels = 1;
    int16_t bits = 16;
    bool floating = false;
    bool extensible = false;
    int32_t sampleRate = 44100;
    std::vector<float> samples;
    std::vector<AiffChunk> extraChunks;  // written with little-endian sizes

    std::vector<uint8_t> bytes() const {
        auto put = [](std::vector<uint8_t>& out, uint32_t value, int count) {
            for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
        };
        auto chunk = [&](std::vector<uint8_t>& out, const char* identifier, const std::vector<uint8_t>& body) {
            out.insert(out.end(), identifier, identifier + 4);
            put(out, static_cast<uint32_t>(body.size()), 4);
            out.insert(out.end(), body.begin(), body.end());
            if (body.size() % 2 != 0) out.push_back(0);
        };
        const int bytesPerSample = bits / 8;
        std::vector<uint8_t> format;
        put(format, extensible ? 0xFFFEu : floating ? 3u : 1u, 2);
        put(format, static_cast<uint32_t>(channels), 2);
        put(format, static_cast<uint32_t>(sampleRate), 4);
        put(format, static_cast<uint32_t>(sampleRate * channels * bytesPerSample), 4);
        put(format, static_cast<uint32_t>(channels * bytesPerSample), 2);
        put(format, static_cast<uint32_t>(bits), 2);
        if (extensible) {
            put(format, 22, 2);
            put(format, static_cast<uint32_t>(bits), 2);
            put(format, 0, 4);
            put(format, floating ? 3u : 1u, 2);
            format.resize(format.size() + 14, 0);
        }
        std::vector<uint8_t> data;
        for (const float sample : samples) {
            if (floating) {
                uint32_t value = 0;
                std::memcpy(&value, &sample, sizeof value);
                put(data, value, 4);
                continue;
            }
            const double scale = std::ldexp(1.0, bits - 1);
            const double code = std::clamp(std::round(sample * scale), -scale, scale - 1.0);
            put(data, static_cast<uint32_t>(static_cast<int64_t>(code) + (bits == 8 ? 128 : 0)), bytesPerSample);
        }
        std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
        chunk(body, "fmt ", format);
        for (const AiffChunk& extra : extraChunks) chunk(body, extra.identifier.data(), extra.body);
        chunk(body, "data", data);
        std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
        put(file, static_cast<uint32_t>(body.size()), 4);
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
};

inline std::string writeBytes(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir.file(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

// A mono 16-bit WAV loop of hits on quarter and eighth notes of one bar at 120 bpm, and what the
// instrument plays on note 36 + i at full velocity with attack 0 and sustain 1: the file's values
// from hit i to the next.
struct HitLoop {
    std::vector<uint32_t> hits = {0, 22050, 33075, 55125};
    uint32_t frames = 88200;

    std::vector<uint8_t> bytes() const {
        WaveFile wave;
        wave.samples = drumHitSamples(frames, hits);
        return wave.bytes();
    }
    std::vector<float> slice(size_t index) const {
        const std::vector<float> sound = drumHitSamples(frames, hits);
        const uint32_t end = index + 1 < hits.size() ? hits[index + 1] : frames;
        std::vector<float> values;
        for (uint32_t i = hits[index]; i < end; ++i) {
            values.push_back(static_cast<float>(std::round(sound[i] * 32768.0) / 32768.0));
        }
        return values;
    }
};
