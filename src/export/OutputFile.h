#pragma once

#include <cstdint>
#include <fstream>
#include <memory>

// A file written from front to back. Errors collect in the stream's state and are asked for
// once at the end, so the writer above it stays free of error handling.
class OutputFile {
public:
    explicit OutputFile(const char* path);
    virtual ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Answers whether the stream is bad after the write.
    bool write(const void* data, std::int32_t count);
    bool isBad() const;
    void close();

private:
    std::unique_ptr<std::ofstream> stream;
    bool failedWithoutStream = false;
};
