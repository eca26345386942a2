#pragma once

#include "LoopFiles.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Eight slices of changing sound (a falling tone under a slow swell), so that a slice played from
// the wrong place, at the wrong time or through a differently set filter shows in the samples.
inline std::string writeVariedLoop(const TempDir& dir, const std::string& name) {
    constexpr std::uint32_t framesPerSlice = 4096;
    std::vector<std::int16_t> pcm(8 * framesPerSlice);
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        const double t = static_cast<double>(i);
        pcm[i] =
            static_cast<std::int16_t>(12000.0 * std::sin(t * (0.09 - t * 1e-6)) * (0.5 + 0.5 * std::sin(t * 4e-4)));
    }
    std::vector<std::uint32_t> starts;
    std::vector<std::uint16_t> positions;
    for (std::uint32_t i = 0; i < 8; ++i) {
        starts.push_back(i * framesPerSlice);
        positions.push_back(static_cast<std::uint16_t>(i * 240));
    }
    const RexLoopContent loop =
        RexFileWriter::monoLoop(RexFileWriter::samplesFromPcm16(pcm), starts, positions, 120.0, 8 * 240);
    return writeLoopFile(dir, name, loop);
}
