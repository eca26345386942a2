#pragma once

#include <cstddef>
#include <cstdint>

// One program as the host stores it in its chunks: the same 1100 bytes in memory and on disk.
// Parameter 9 is a reserved gap and has no slot, so parameter 10 follows parameter 8.
struct ProgramRecord {
    static constexpr std::size_t pathSize = 1024;
    static constexpr std::size_t nameSize = 24;
    static constexpr std::size_t valueCount = 13;

    char path[pathSize];
    char name[nameSize];
    float values[valueCount];
};

static_assert(sizeof(ProgramRecord) == 1100);
static_assert(offsetof(ProgramRecord, name) == 1024 && offsetof(ProgramRecord, values) == 1048);
