#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// One program as the host stores it in its chunks: the same 1100 bytes in memory and on disk.
// Parameter 9 is a reserved gap and has no slot, so parameter 10 follows parameter 8.
struct ProgramRecord {
    static constexpr std::size_t pathSize = 1024;
    static constexpr std::size_t nameSize = 24;
    static constexpr std::size_t valueCount = 13;

    char path[pathSize];
    char name[nameSize];
    float values[valueCount];

    // Values are set by automation on the audio thread while other threads read and copy programs,
    // so each one is read and written whole (relaxed order is enough for a single float). Path and
    // name change only under the instrument's state lock.
    float value(std::size_t slot) const {
        float read;
        __atomic_load(&values[slot], &read, __ATOMIC_RELAXED);
        return read;
    }
    void setValue(std::size_t slot, float written) { __atomic_store(&values[slot], &written, __ATOMIC_RELAXED); }

    void copyFrom(const ProgramRecord& other) {
        std::memcpy(path, other.path, sizeof path);
        std::memcpy(name, other.name, sizeof name);
        for (std::size_t slot = 0; slot < valueCount; ++slot) setValue(slot, other.value(slot));
    }
};

static_assert(sizeof(ProgramRecord) == 1100);
static_assert(offsetof(ProgramRecord, name) == 1024 && offsetof(ProgramRecord, values) == 1048);
