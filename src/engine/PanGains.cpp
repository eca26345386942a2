#include "engine/PanGains.h"

#include <cmath>

PanGains PanGains::forPosition(int32_t position) {
    // Spreads the 128 positions over 127/254 of a half turn, so +63 lands exactly on a quarter turn.
    constexpr double radiansPerStep = 0.012368475014133044;
    const double angle = (static_cast<double>(position) + 64.0) * radiansPerStep;

    PanGains gains;
    gains.left = static_cast<float>(std::cos(angle));
    if (gains.left < 0.01f) {
        gains.left = 0.0f;
    }
    gains.right = static_cast<float>(std::sin(angle));
    if (gains.right > 0.99f) {
        gains.right = 1.0f;
    }
    return gains;
}
