#include "lv2/Lv2Log.h"

#include <cstdio>

Lv2Log::Lv2Log(const LV2_Log_Log* hostLog, const LV2_URID_Map* map) : log(hostLog) {
    if (log && map) errorType = map->map(map->handle, LV2_LOG__Error);
    // A log without a type to write under would drop the line.
    if (!errorType) log = nullptr;
}

void Lv2Log::line(const char* text) const {
    if (log) {
        log->printf(log->handle, errorType, "Brevatone: %s\n", text);
    } else {
        std::fprintf(stderr, "Brevatone: %s\n", text);
    }
}
