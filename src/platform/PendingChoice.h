#pragma once

#include <cstddef>

// A file chooser that runs beside the host and answers later. Destroying it ends a chooser still
// open; its answer is then never read.
class PendingChoice {
public:
    enum class Answer { waiting, chosen, none };

    virtual ~PendingChoice() = default;
    // Never waits. `chosen` once with the path in `path` (NUL-terminated, shorter than `capacity`);
    // `none` when the chooser was cancelled or its answer refused (a message said why).
    virtual Answer poll(char* path, std::size_t capacity) = 0;
};
