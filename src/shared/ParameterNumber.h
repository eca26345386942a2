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

}  // namespace Parameter
