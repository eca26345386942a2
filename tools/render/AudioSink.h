#pragma once

#include <cstdint>

// Where rendered stereo blocks go.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual void write(const float* left, const float* right, std::int32_t frames) = 0;
};
