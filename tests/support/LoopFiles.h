#pragma once

#include "TempDir.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexFileWriter.h"
#include "loopfile/RexReader.h"

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
