#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

// Reading what a host offers in a feature list.
namespace HostFeatures {

// The data of the feature named `uri`, or null when the list (which may itself be null) lacks it.
const void* find(const LV2_Feature* const* features, const char* uri);
// Strings from the host's path features go back through the host's own function when it offers one.
void releasePath(const LV2_State_Free_Path* freePath, char* path);

}  // namespace HostFeatures
