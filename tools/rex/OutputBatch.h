#pragma once

#include "export/PendingFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Files that reach their destinations together or not at all: each is written whole under a
// temporary name beside its destination, and only when every one of them is complete are they
// moved into place. Whatever is still pending when the batch ends is removed, so a failed run
// leaves earlier files as they were.
class OutputBatch {
public:
    // Writes `bytes` beside `destination`; throws a ToolError naming the path and what went wrong.
    void add(const std::string& destination, const std::vector<std::uint8_t>& bytes);
    // Moves every file into place; throws a ToolError at the first that cannot be moved.
    void commit();
    std::uintmax_t totalBytes() const { return total; }

private:
    std::vector<std::unique_ptr<PendingFile>> files;
    std::uintmax_t total = 0;
};
