#pragma once

#include <lv2/log/log.h>
#include <lv2/urid/urid.h>

// One line of text to the host's log, or to standard error when the host offers none. Never used
// on the audio thread.
class Lv2Log {
public:
    Lv2Log() = default;
    Lv2Log(const LV2_Log_Log* hostLog, const LV2_URID_Map* map);

    void line(const char* text) const;

private:
    const LV2_Log_Log* log = nullptr;
    LV2_URID errorType = 0;
};
