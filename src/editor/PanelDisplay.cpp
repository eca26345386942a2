#include "editor/PanelDisplay.h"

#include "shared/ParameterNumber.h"

#include <cmath>

namespace {

// The sync-mode values that pick their own tempo divisor; any other value plays with the last one.
constexpr float syncModeSteps[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f};
constexpr float lastSyncModeStep = 1.0f;

// The sound switches these on for any value above 0.
float onOffShown(float value) { return value > 0.0f ? 1.0f : 0.0f; }

float syncModeShown(float value) {
    for (float step : syncModeSteps) {
        if (value == step) return step;
    }
    return lastSyncModeStep;
}

}  // namespace

bool PanelDisplay::syncShown(float syncOnValue) { return syncOnValue == 1.0f; }

float PanelDisplay::shownValue(std::int32_t parameter, float value) {
    if (std::isnan(value)) return 0.0f;
    switch (parameter) {
        case Parameter::filterMode:
        case Parameter::filterOn: return onOffShown(value);
        case Parameter::lfoSyncOn: return syncShown(value) ? 1.0f : 0.0f;
        case Parameter::lfoSyncMode: return syncModeShown(value);
        default: return value;
    }
}
