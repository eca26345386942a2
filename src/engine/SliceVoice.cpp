#include "engine/SliceVoice.h"

#include "engine/SliceBank.h"

#include <algorithm>
#include <cmath>

namespace {

// How a slice is read, one reader per layout, so the sample loops carry no layout branches:
// `locate` finds where a frame starts, `read` takes the frame k frames further in playing direction.
struct MonoForward {
    static const float* locate(const float* samples, uint32_t frame, uint32_t /*frames*/) { return samples + frame; }
    static float read(const float* from, int32_t k) { return from[k]; }
};

// Two-channel material is interleaved; both channels count, mixed down to the mono block.
struct StereoForward {
    static const float* locate(const float* samples, uint32_t frame, uint32_t /*frames*/) {
        return samples + 2 * size_t{frame};
    }
    static float read(const float* from, int32_t k) { return (from[2 * k] + from[2 * k + 1]) * 0.5f; }
};

template <class Forward>
struct Reversed {
    static const float* locate(const float* samples, uint32_t frame, uint32_t frames) {
        return Forward::locate(samples, frames - 1 - frame, frames);
    }
    static float read(const float* from, int32_t k) { return Forward::read(from, -k); }
};

constexpr float velocityScale = 0.007874016f;
constexpr double parkedPosition = 128000000.0;

}  // namespace

SliceVoice::SliceVoice(SliceBank& bank) : bank_(bank) {}

void SliceVoice::setEnvelopeTimes(float attackSeconds, float decaySeconds, float sustainLevel,
                                  float releaseSeconds) noexcept {
    envelope_.setTimes(attackSeconds, decaySeconds, sustainLevel, releaseSeconds);
}

void SliceVoice::noteOn(uint8_t note, uint8_t velocity, int32_t deltaFrames) noexcept {
    startDelay_ = deltaFrames;
    velocity_ = velocity;
    note_ = note;
    velocityGain_ = static_cast<float>(velocity) * velocityScale;
    pendingRelease_ = -1;
    envelope_.start();
    slice_ = bank_.sliceForNote(note);
    if (slice_ == nullptr) {
        return;
    }
    reverse_ = slice_->isReverse();
    position_ = 0.0;
    active_ = true;
}

void SliceVoice::noteOff(int32_t deltaFrames) noexcept {
    note_ = noNote;
    pendingRelease_ = deltaFrames;
}

void SliceVoice::reset() noexcept {
    position_ = parkedPosition;
    active_ = false;
    slice_ = nullptr;
    startDelay_ = 0;
}

void SliceVoice::render(float* buffer, uint32_t frames) noexcept {
    if (startDelay_ < 0 || static_cast<uint32_t>(startDelay_) >= frames) {
        startDelay_ = 0;
    }
    const int32_t first = startDelay_;
    startDelay_ = 0;
    if (pendingRelease_ >= 0) {
        // Counted from the voice's first frame; a release armed before that frame begins at once.
        pendingRelease_ = std::max(0, pendingRelease_ - first);
    }
    if (frames == 0) {
        return;
    }
    if (slice_ == nullptr) {
        stopAtSliceEnd();
        return;
    }

    // The bend cannot change while a block renders, so the step is fixed for the whole call.
    const float ratio = bank_.pitchRatio(slice_->centsShift());
    const float level = slice_->gain() * velocityGain_;
    float* out = buffer + first;
    const uint32_t count = frames - static_cast<uint32_t>(first);
    if (slice_->isStereo()) {
        reverse_ ? renderFrom<Reversed<StereoForward>>(out, count, ratio, level)
                 : renderFrom<StereoForward>(out, count, ratio, level);
    } else {
        reverse_ ? renderFrom<Reversed<MonoForward>>(out, count, ratio, level)
                 : renderFrom<MonoForward>(out, count, ratio, level);
    }
}

template <class FrameReader>
void SliceVoice::renderFrom(float* out, uint32_t count, float ratio, float level) noexcept {
    uint32_t done = 0;
    while (done < count) {
        releaseIfDue();
        uint32_t limit = count - done;
        if (pendingRelease_ > 0) {
            limit = std::min(limit, static_cast<uint32_t>(pendingRelease_));
        }
        const EnvelopeRun run = envelope_.nextRun(limit);
        const uint32_t played = playRun<FrameReader>(out + done, run, ratio, level);
        envelope_.advance(run, played);
        if (pendingRelease_ > 0) {
            pendingRelease_ -= static_cast<int32_t>(played);
        }
        if (played < run.length) {
            stopAtSliceEnd();
            return;
        }
        if (envelope_.state() == AmpEnvelope::State::Off) {
            // The release has run out: whatever the block still holds would be scaled by zero.
            active_ = false;
            return;
        }
        done += played;
    }
}

template <class FrameReader>
uint32_t SliceVoice::playRun(float* out, const EnvelopeRun& run, float ratio, float level) noexcept {
    const bool wholeFrameSteps = ratio == 1.0f && position_ == std::floor(position_);
    if (!wholeFrameSteps) {
        return playRunStepByStep<FrameReader>(out, run, ratio, level);
    }
    // Unbent, unshifted playback from a whole frame: the positions are exactly from, from + 1, ...
    // so the frames can be indexed directly instead of stepping the position sample by sample.
    const uint32_t frameCount = slice_->frameCount();
    const uint32_t from = static_cast<uint32_t>(position_);
    const uint32_t available = from < frameCount ? frameCount - from : 0;
    const uint32_t length = std::min(run.length, available);
    const float* source = FrameReader::locate(slice_->samples(), from, frameCount);
    const EnvelopeRun ramp = run;
    const auto last = static_cast<int32_t>(length);
    for (int32_t k = 0; k < last; ++k) {
        out[k] += level * FrameReader::read(source, k) * ramp.gainAt(static_cast<uint32_t>(k));
    }
    position_ += length;
    return length;
}

template <class FrameReader>
uint32_t SliceVoice::playRunStepByStep(float* out, const EnvelopeRun& run, float ratio, float level) noexcept {
    const uint32_t frameCount = slice_->frameCount();
    const float* samples = slice_->samples();
    for (uint32_t k = 0; k < run.length; ++k) {
        const uint32_t index = static_cast<uint32_t>(position_);
        if (index >= frameCount) {
            return k;
        }
        out[k] += level * FrameReader::read(FrameReader::locate(samples, index, frameCount), 0) * run.gainAt(k);
        position_ += static_cast<double>(ratio);
    }
    return run.length;
}

void SliceVoice::releaseIfDue() noexcept {
    if (pendingRelease_ == 0) {
        note_ = noNote;
        envelope_.beginRelease();
        pendingRelease_ = -1;
    }
}

void SliceVoice::stopAtSliceEnd() noexcept {
    active_ = false;
    position_ = 0.0;
    startDelay_ = 0;
}
