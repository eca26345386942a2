#include "instrument/ParameterTable.h"

#include <algorithm>
#include <cstring>

namespace ParameterTable {
namespace {
const char* const names[Parameter::count] = {
    "  Pitch  ",   " Amp Atk ",  " Amp Dcy ", " Amp Sus ",   " Amp Rls ",  " Flt Freq ",    " Flt Q ",
    "  Flt Mode ", "  Flt On  ", nullptr,     "  LFO Freq ", "  LFO Amt ", " LFO Sync On ", " LFO Sync Mode ",
};
constexpr float defaults[ProgramRecord::valueCount] = {0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f,
                                                       0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f};
}  // namespace

std::int32_t slotOf(std::int32_t index) {
    if (index < 0 || index >= Parameter::count || index == Parameter::reserved) return -1;
    return index < Parameter::reserved ? index : index - 1;
}

const char* nameOf(std::int32_t index) { return index >= 0 && index < Parameter::count ? names[index] : nullptr; }

float defaultOf(std::int32_t index) {
    const std::int32_t slot = slotOf(index);
    return slot < 0 ? 0.0f : defaults[slot];
}

float playedValue(std::int32_t index, float stored) {
    switch (index) {
        case Parameter::filterMode:
        case Parameter::filterOn:
        case Parameter::lfoSyncOn:
        case Parameter::lfoSyncMode: return stored;
        default: return std::clamp(stored, 0.0f, 1.0f);
    }
}

void fillDefaults(ProgramRecord& record) {
    std::memset(&record, 0, sizeof record);
    std::strcpy(record.name, "Init");
    std::memcpy(record.values, defaults, sizeof defaults);
}

}  // namespace ParameterTable
