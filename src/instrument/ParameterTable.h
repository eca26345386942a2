#pragma once

#include "instrument/ProgramRecord.h"
#include "shared/ParameterNumber.h"

#include <cstdint>

// The instrument's fourteen parameters (numbered in shared/ParameterNumber.h): their host names,
// defaults and record slots.
namespace ParameterTable {

// Parameters in the order a program applies them; the reserved index is skipped.
constexpr std::int32_t appliedOrder[ProgramRecord::valueCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13};

// The record slot of a parameter, or -1 for the reserved index and indices out of range.
std::int32_t slotOf(std::int32_t index);
// The host name with its blanks, or null where the parameter has none.
const char* nameOf(std::int32_t index);
void fillDefaults(ProgramRecord& record);

}  // namespace ParameterTable
