#pragma once

#include <cstdint>

// While alive, the calling thread's floating-point unit treats values too small for a normal float as
// zero, so feedback paths decaying towards silence cost no more than any other sample. Restores the
// previous mode when it ends. Does nothing where SSE is not available.
class ScopedDenormalFlush {
public:
    ScopedDenormalFlush() noexcept;
    ~ScopedDenormalFlush();

    ScopedDenormalFlush(const ScopedDenormalFlush&) = delete;
    ScopedDenormalFlush& operator=(const ScopedDenormalFlush&) = delete;

    // True when this platform can flush at all.
    static bool isSupported() noexcept;

private:
    [[maybe_unused]] uint32_t savedMode_ = 0;
};
