#pragma once

#include "shared/ParameterNumber.h"

#include <utility>

// A value for each panel control but the LFO sync LED that differs from the default program, so a
// picture of the panel shows every control away from where a fresh panel puts it.
inline constexpr std::pair<Parameter::Number, float> panelStates[] = {
    {Parameter::ampAttack, 0.3f},   {Parameter::ampDecay, 0.9f},        {Parameter::ampSustain, 0.6f},
    {Parameter::ampRelease, 0.25f}, {Parameter::filterFrequency, 0.8f}, {Parameter::filterResonance, 0.1f},
    {Parameter::lfoAmount, 0.5f},   {Parameter::lfoFrequency, 0.4f},    {Parameter::filterOn, 1.0f},
    {Parameter::filterMode, 1.0f},  {Parameter::lfoSyncMode, 0.4f}};
