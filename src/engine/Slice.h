#pragma once

#include "engine/PanGains.h"

#include <cstdint>
#include <vector>

// One slice of a loop, ready to play: its own copy of the sample values plus the settings a voice reads.
// Two-channel material stays interleaved as the loader hands it over.
class Slice {
public:
    static constexpr uint16_t unassignedNote = 127;

    Slice(const float* samples, uint32_t length, int32_t sampleRate, int32_t bitsPerSample, int32_t channels);
    // Takes the values over instead of copying them.
    Slice(std::vector<float>&& samples, int32_t sampleRate, int32_t bitsPerSample, int32_t channels);
    virtual ~Slice() = default;

    Slice(const Slice&) = delete;
    Slice& operator=(const Slice&) = delete;

    const float* samples() const { return samples_.data(); }
    uint32_t length() const { return static_cast<uint32_t>(samples_.size()); }
    // Playable frames: one per element for one-channel material, one per interleaved pair for two channels.
    uint32_t frameCount() const { return isStereo() ? length() / 2 : length(); }
    bool isStereo() const { return channels_ == 2; }

    int32_t sampleRate() const { return sampleRate_; }
    int32_t bitsPerSample() const { return bitsPerSample_; }
    int32_t channels() const { return channels_; }

    uint16_t note() const { return note_; }
    void setNote(uint16_t note) { note_ = note; }

    int32_t centsShift() const { return centsShift_; }
    void setCentsShift(int32_t cents) { centsShift_ = cents; }

    int32_t panPosition() const { return panPosition_; }
    float leftGain() const { return pan_.left; }
    float rightGain() const { return pan_.right; }
    void setPan(int32_t position);

    bool isReverse() const { return reverse_; }
    void setReverse(bool reverse) { reverse_ = reverse; }

    float gain() const { return gain_; }

private:
    bool reverse_ = false;
    std::vector<float> samples_;
    int32_t sampleRate_;
    int32_t bitsPerSample_;
    int32_t channels_;
    uint16_t note_ = unassignedNote;
    PanGains pan_;
    int32_t centsShift_ = 0;
    int32_t panPosition_ = 0;
    float gain_ = 1.0f;
};
