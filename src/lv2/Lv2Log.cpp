#include "lv2/Lv2Log.h"

#include <cstdio>

// Without a map there is no type to write under; the host's log still takes the line untyped, which
// is better than a line the host never shows.
Lv2Log::Lv2Log(const LV2_Log_Log* hostLog, const LV2_URID_Map* map) : log(hostLog) {
    if (log && !log->printf) log = nullptr;
    if (log && map) errorType = map->map(map->handle, LV2_LOG__Error);
}

void Lv2Log::line(const char* text) const {
    if (log) {
        log->printf(log->handle, errorType, "Brevatone: %s\n", text);
    } else {
        std::fprintf(stderr, "Brevatone: %s\n", text);
    }
}
