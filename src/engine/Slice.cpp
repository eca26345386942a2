#include "engine/Slice.h"

#include <utility>

Slice::Slice(const float* samples, uint32_t length, int32_t sampleRate, int32_t bitsPerSample, int32_t channels)
    : sampleRate_(sampleRate), bitsPerSample_(bitsPerSample), channels_(channels) {
    if (samples != nullptr) {
        samples_.assign(samples, samples + length);
    }
    setPan(0);
}

Slice::Slice(std::vector<float>&& samples, int32_t sampleRate, int32_t bitsPerSample, int32_t channels)
    : samples_(std::move(samples)), sampleRate_(sampleRate), bitsPerSample_(bitsPerSample), channels_(channels) {
    setPan(0);
}

void Slice::setPan(int32_t position) {
    panPosition_ = position;
    pan_ = PanGains::forPosition(position);
}
