#pragma once

#include <cstdint>

// The two channel gains of a pan position from -64 (hard left) to +63 (hard right).
struct PanGains {
    float left = 1.0f;
    float right = 0.0f;

    // Quarter-circle law; near-silent gains snap to the edges so that the ends are exact.
    static PanGains forPosition(int32_t position);
};
