#pragma once

#include "lv2/Lv2Log.h"

#include <lv2/state/state.h>

#include <cstdint>
#include <mutex>
#include <string>

// The loop's copy inside a session, where the host offers a place for files (state:makePath), so
// that the session keeps its loop when it moves. A copy is made once per distinct file: a later
// save finds the session's copy untouched and keeps it, or, where the host offers a new place for
// each save (lilv gives each a folder of its own), links it there instead of copying it again.
// Only a regular file no larger than any loop the plug-in reads is copied, and only through a
// temporary file that replaces the destination once complete, so a full disk never spoils an
// earlier copy.
class SessionLoopCopy {
public:
    // The path to save for `loop`: its copy in the offered place, or the loop's own path when there
    // is no place or no copy could be made (a log line says why).
    std::string place(const std::string& loop, const LV2_State_Make_Path* makePath, const LV2_State_Free_Path* freePath,
                      const Lv2Log& log);
    // A restored loop that loaded counts as the session's copy.
    void adopt(const std::string& sessionLoop);

private:
    // What tells one version of a file from another without reading it.
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Identity& other) const {
            return device == other.device && inode == other.inode && size == other.size && modified == other.modified;
        }
    };
    static bool identify(const std::string& path, Identity& identity);
    // Answers an empty text when the copy is complete, else why not.
    static std::string copy(const std::string& from, const std::string& to);
    // Gives the file at `from` the name `to` as well, through a temporary name renamed into place.
    static bool link(const std::string& from, const std::string& to);

    std::mutex lock;
    std::string copyPath;
    Identity copiedSource;
    Identity madeCopy;
};
