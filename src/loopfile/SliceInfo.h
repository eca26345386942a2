#pragma once

#include <cstdint>

// One record of a loop's slice table. `start` and `length` count elements of the reader's float
// samples (interleaved values, not frames); `position` is the slice's start in ticks, 960 per quarter.
struct SliceInfo {
    uint32_t start;
    uint32_t length;
    uint16_t position;
};
