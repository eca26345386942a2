#pragma once

#include "export/PendingFile.h"

#include <cstdint>
#include <fstream>
#include <memory>

// A file written from front to back. Errors collect in the stream's state and are asked for
// once at the end, so the writer above it stays free of error handling. The bytes go to a
// temporary file that replaces the destination only when `close` finds every byte written, so
// a failed write leaves an earlier file as it was.
class OutputFile {
public:
    explicit OutputFile(const char* path);
    virtual ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Answers whether the stream is bad after the write.
    bool write(const void* data, std::int32_t count);
    bool isBad() const;
    // Flushes and moves the file into place; answers whether the whole file got there. A file
    // that turned bad, or whose last bytes could not be flushed, is thrown away.
    bool close();

private:
    std::unique_ptr<PendingFile> pending;
    std::unique_ptr<std::ofstream> stream;
    bool failedWithoutStream = false;
};
