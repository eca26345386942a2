#pragma once

#include "loopfile/InputFile.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A disk that hands out nothing until the test lets it.
class HeldBackFile : public InputFile {
public:
    using InputFile::InputFile;

    std::int32_t read(void* buffer, std::int32_t count) override {
        std::unique_lock<std::mutex> lock(mutex);
        reading = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
        return InputFile::read(buffer, count);
    }
    void waitUntilReading() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return reading; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool reading = false;
    bool released = false;
};
