#pragma once

#include <lv2/urid/urid.h>

#include <map>
#include <string>

// The URID map a test host offers: each new URI gets the next number.
struct UridTable {
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map feature{this, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                             auto& known = static_cast<UridTable*>(handle)->ids;
                             return known.emplace(uri, static_cast<LV2_URID>(known.size() + 1)).first->second;
                         }};

    LV2_URID operator()(const char* uri) { return feature.map(feature.handle, uri); }
};
