#pragma once

#include <cstdint>

// The instrument's parameter numbers as the panel binds them. Pitch (0) and the reserved 9 have
// no control.
namespace PanelParameter {

enum Index : std::int32_t {
    ampAttack = 1,
    ampDecay = 2,
    ampSustain = 3,
    ampRelease = 4,
    filterFrequency = 5,
    filterResonance = 6,
    filterMode = 7,
    filterOn = 8,
    lfoFrequency = 10,
    lfoAmount = 11,
    lfoSyncOn = 12,
    lfoSyncMode = 13,
    none = -1
};

constexpr std::int32_t count = 14;

}  // namespace PanelParameter
