#pragma once

#include <cstdint>

// How each control port shows its parameter to LV2 hosts: in the unit the engine works in (seconds,
// percent, hertz, named choices, switches), and how a port value becomes the normalised value the
// instrument stores, as the engine reads it back. Slots count in the order programs apply values.
namespace PortScales {

enum class Kind {
    plain,      // the stored value itself
    seconds,    // the envelope reads the stored value as seconds
    percent,    // a level or depth of 0 ... 1, shown as 0 ... 100 %
    cutoff,     // hertz, mapped exponentially onto 0 ... 1
    resonance,  // the filter's q, 10 to the power of twice the stored value
    lfoRate,    // hertz in the LFO's whole steps
    toggle,     // off or on
    choice      // named steps, each one stored value
};

struct ScalePoint {
    const char* label;
    float stored;
};

struct PortScale {
    Kind kind;
    float minimum;
    float maximum;
    // The unit's name in the LV2 units vocabulary, or null.
    const char* unit;
    bool logarithmic;
    const ScalePoint* points;
    int pointCount;
    const char* comment;
};

const PortScale& of(std::uint32_t slot);
// The normalised value the instrument stores for a port value; a value beyond the port's range
// counts as its nearer end, and one that is not a number as the minimum.
float stored(std::uint32_t slot, float portValue) noexcept;
// The port value that shows a stored value (the defaults the bundle states).
float shown(std::uint32_t slot, float storedValue);

}  // namespace PortScales
