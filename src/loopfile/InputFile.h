#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

// A loop file opened for reading from front to back. Failures never throw: a file that cannot be
// opened reads as empty, and a read that runs into the end of the file sets `atEnd`.
class InputFile {
public:
    explicit InputFile(const char* path);
    virtual ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Copies up to `count` bytes and answers how many arrived; the rest of the buffer keeps its contents.
    int32_t read(void* buffer, int32_t count);
    // Consumes up to `count` bytes without handing them out; answers how many were consumed.
    int64_t skip(int64_t count);
    bool atEnd() const;
    const char* path() const;

    // Bytes between the read position and the end of the file as it was when opened. Readers bound
    // every size they take from the file by this, so a lying size field cannot make them allocate.
    int64_t remaining() const;

private:
    std::unique_ptr<std::ifstream> stream;
    std::string pathText;
    int64_t fileLength = 0;
    int64_t consumed = 0;
};
