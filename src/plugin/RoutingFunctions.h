#pragma once

#include "plugin/VstAbi.h"

// The five plain functions stored in the effect record. Each finds its object through the
// record's `object` field. Nothing thrown inside a plug-in may cross into the host.
VstIntPtr VSTCALL routeDispatcher(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr,
                                  float opt);
void VSTCALL routeProcess(AEffect* effect, float** inputs, float** outputs, std::int32_t frames);
void VSTCALL routeProcessReplacing(AEffect* effect, float** inputs, float** outputs, std::int32_t frames);
void VSTCALL routeSetParameter(AEffect* effect, std::int32_t index, float value);
float VSTCALL routeGetParameter(AEffect* effect, std::int32_t index);
