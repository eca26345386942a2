#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

// The data of the host's feature with this URI, or null when the host does not offer it.
inline const void* lv2Feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* entry = features; entry && *entry; ++entry) {
        if ((*entry)->URI && std::strcmp((*entry)->URI, uri) == 0) return (*entry)->data;
    }
    return nullptr;
}
