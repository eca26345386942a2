#pragma once

#include "engine/AmpEnvelope.h"

#include <cstdint>

class Slice;
class SliceBank;
struct EnvelopeRun;

// Plays one slice at a time into a mono block: from its first frame to its last, stepped by the bank's
// pitch ratio, shaped by the envelope and scaled by the note's velocity. Output is added to the block.
class SliceVoice {
public:
    static constexpr uint8_t noNote = 255;

    explicit SliceVoice(SliceBank& bank);

    void setEnvelopeTimes(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds) noexcept;
    void setSampleRate(double samplesPerSecond) noexcept { envelope_.setSampleRate(samplesPerSecond); }
    // Starts from the slice's first frame at `deltaFrames` into the next block; an empty bank leaves the voice as it
    // was.
    void noteOn(uint8_t note, uint8_t velocity, int32_t deltaFrames) noexcept;
    // Arms the release `deltaFrames` into the next block and forgets the note, so it is not matched again.
    void noteOff(int32_t deltaFrames) noexcept;
    void render(float* buffer, uint32_t frames) noexcept;
    void reset() noexcept;

    bool isActive() const { return active_; }
    uint8_t note() const { return note_; }
    uint8_t velocity() const { return velocity_; }
    float velocityGain() const { return velocityGain_; }
    const Slice* slice() const { return slice_; }
    double position() const { return position_; }
    int32_t pendingRelease() const { return pendingRelease_; }
    const AmpEnvelope& envelope() const { return envelope_; }

private:
    template <class FrameReader>
    void renderFrom(float* out, uint32_t count, float ratio, float level) noexcept;
    template <class FrameReader>
    uint32_t playRun(float* out, const EnvelopeRun& run, float ratio, float level) noexcept;
    template <class FrameReader>
    uint32_t playRunStepByStep(float* out, const EnvelopeRun& run, float ratio, float level) noexcept;
    template <class FrameReader>
    uint32_t playRunByAddition(float* out, const EnvelopeRun& run, float ratio, float level) noexcept;
    void releaseIfDue() noexcept;
    void stopAtSliceEnd() noexcept;

    bool active_ = false;
    uint8_t velocity_ = 0;
    float velocityGain_ = 0.0f;
    SliceBank& bank_;
    uint8_t note_ = noNote;
    bool reverse_ = false;
    const Slice* slice_ = nullptr;
    // Double precision keeps the position exact, whole steps and fractions alike, for any slice length
    // the bank accepts: a float stops counting whole frames at 2^24.
    double position_ = 0.0;
    AmpEnvelope envelope_;
    int32_t startDelay_ = 0;
    int32_t pendingRelease_ = -1;
};
