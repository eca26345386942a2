#include "editor/PanelDisplay.h"

#include "shared/ParameterNumber.h"

#include <cmath>

namespace {

// The sound switches these on for any value above 0.
float onOffShown(float value) { return value > 0.0f ? 1.0f : 0.0f; }

float syncModeShown(float value) { return Parameter::syncModeSteps[Parameter::syncModeStep(value)]; }

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
