#pragma once

#include "TempDir.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexFileWriter.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

// A reader that has parsed the given bytes, read from a real file as the plug-in reads its loops.
template <typename Reader>
class ParsedFile {
public:
    explicit ParsedFile(const std::vector<uint8_t>& bytes) : path(dir.file("loop.rex")) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file = std::make_unique<InputFile>(path.c_str());
        reader = std::make_unique<Reader>(*file);
        reader->parse();
    }
    explicit ParsedFile(const RexFileWriter& writer) : ParsedFile(writer.bytes()) {}

    Reader* operator->() const { return reader.get(); }
    Reader& operator*() const { return *reader; }

private:
    TempDir dir;
    std::string path;
    std::unique_ptr<InputFile> file;
    std::unique_ptr<Reader> reader;
};

// `count` distinct values in [-1, 1) that 8, 16 and 24-bit samples all hold exactly.
inline std::vector<float> rampSamples(size_t count) {
    std::vector<float> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = (static_cast<float>(i % 256) - 128.0f) / 128.0f;
    }
    return samples;
}

// A well-formed loop of `frames` frames whose slices split it into quarter notes.
inline RexLoopContent quarterNoteLoop(uint32_t frames, int16_t channels = 1, int16_t bits = 16) {
    RexLoopContent loop;
    loop.channelCount = channels;
    loop.bitsPerSample = bits;
    loop.samples = rampSamples(size_t{frames} * static_cast<size_t>(channels));
    const uint32_t quarter = frames / 4 * static_cast<uint32_t>(channels);
    for (uint16_t i = 0; i < 4; ++i) {
        loop.slices.push_back({i * quarter, quarter, static_cast<uint16_t>(960 * i)});
    }
    loop.loopLength = 3840;
    return loop;
}
