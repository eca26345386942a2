#pragma once

#include "engine/EngineConstants.h"
#include "shared/HostTime.h"

#include <cstdint>

// Turns the host's transport into the filter LFO's rate and, near a bar line, the number of LFO
// steps until the triangle should restart on it.
struct TempoFollow {
    static constexpr std::int32_t noRestart = -1;

    bool valid = false;
    std::int32_t lfoRate = 0;
    std::int32_t restartSteps = noRestart;

    // No time (the host gave no bar and beat positions), or a tempo that is not a positive number,
    // leaves the LFO as it is for this block.
    // The bar line is counted in samples at `sampleRate`.
    static TempoFollow follow(const HostTime* time, float syncMode, std::int32_t frames,
                              double sampleRate = engineSampleRate) noexcept;
};
