#pragma once

#include "instrument/ProgramRecord.h"
#include "shared/ParameterNumber.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The instrument's fourteen parameters (numbered in shared/ParameterNumber.h): their host names,
// defaults and record slots.
namespace ParameterTable {

// Parameters in the order a program applies them: ascending, the reserved index skipped.
constexpr std::array<std::int32_t, ProgramRecord::valueCount> appliedOrder = [] {
    std::array<std::int32_t, ProgramRecord::valueCount> order{};
    std::size_t next = 0;
    for (std::int32_t index = 0; index < Parameter::count; ++index) {
        if (index != Parameter::reserved) order[next++] = index;
    }
    return order;
}();

// The record slot of a parameter, or -1 for the reserved index and indices out of range.
std::int32_t slotOf(std::int32_t index);
// The host name with its blanks, or null where the parameter has none.
const char* nameOf(std::int32_t index);
void fillDefaults(ProgramRecord& record);
float defaultOf(std::int32_t index);
// What the sound takes from a finite stored value: the envelope, filter and LFO settings within 0
// to 1, the switches as stored (each reads it by its own rule). Programs keep what the host stored.
float playedValue(std::int32_t index, float stored);

}  // namespace ParameterTable
