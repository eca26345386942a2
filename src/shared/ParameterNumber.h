#pragma once

// The instrument's parameter numbers as the host sees them. The instrument, its panel and the
// tools all count with these; nothing else may spell a parameter as a number. No includes, so the
// lowest layer and the build machine's artwork generator can use it.
namespace Parameter {

enum Number : int {
    pitch = 0,
    ampAttack,
    ampDecay,
    ampSustain,
    ampRelease,
    filterFrequency,
    filterResonance,
    filterMode,
    filterOn,
    reserved,
    lfoFrequency,
    lfoAmount,
    lfoSyncOn,
    lfoSyncMode,
    count,
    // A control that runs a command instead of changing a parameter.
    none = -1
};

// The values of LFO Sync Mode, in the order of the panel's switch, from whole notes to sixteenths.
// The host stores any value; every value that is not exactly one of the first five plays, and
// shows, as the last.
constexpr float syncModeSteps[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f};
constexpr int syncModeStepCount = sizeof syncModeSteps / sizeof syncModeSteps[0];

// The step a stored LFO Sync Mode value plays.
constexpr int syncModeStep(float value) {
    for (int step = 0; step < syncModeStepCount - 1; ++step) {
        if (value == syncModeSteps[step]) return step;
    }
    return syncModeStepCount - 1;
}

}  // namespace Parameter
