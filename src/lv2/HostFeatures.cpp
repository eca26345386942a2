#include "lv2/HostFeatures.h"

#include <cstdlib>
#include <cstring>

namespace HostFeatures {

const void* find(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* entry = features; entry && *entry; ++entry) {
        if ((*entry)->URI && std::strcmp((*entry)->URI, uri) == 0) return (*entry)->data;
    }
    return nullptr;
}

void releasePath(const LV2_State_Free_Path* freePath, char* path) {
    if (freePath && freePath->free_path) {
        freePath->free_path(freePath->handle, path);
    } else {
        std::free(path);
    }
}

}  // namespace HostFeatures
