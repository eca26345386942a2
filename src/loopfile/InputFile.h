#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A loop file opened for reading from front to back. Failures never throw: a file that cannot be
// opened reads as empty and says why, and a read that runs into the end of the file sets `atEnd`.
// Only regular files are opened, and opening never waits: a path naming a FIFO or a device is
// refused at once instead of blocking until someone writes to it.
class InputFile {
public:
    explicit InputFile(const char* path);
    virtual ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Copies up to `count` bytes and answers how many arrived; the rest of the buffer keeps its
    // contents. Virtual so that a test can stand in for a slow disk.
    virtual int32_t read(void* buffer, int32_t count);
    // Consumes up to `count` bytes without handing them out; answers how many were consumed.
    int64_t skip(int64_t count);
    bool atEnd() const;
    const char* path() const;
    // Why the file could not be opened, or null when it was opened.
    const char* openFailure() const { return failure.empty() ? nullptr : failure.c_str(); }

    // Bytes between the read position and the end of the file as it was when opened. Readers bound
    // every size they take from the file by this, so a lying size field cannot make them allocate.
    int64_t remaining() const;

private:
    void open();

    std::FILE* file = nullptr;
    std::string pathText;
    std::string failure;
    int64_t fileLength = 0;
    int64_t consumed = 0;
};
