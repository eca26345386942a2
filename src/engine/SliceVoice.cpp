#include "engine/SliceVoice.h"

#include "engine/SliceBank.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Four frames at a time in the compiler's vector types, which it maps onto the machine's vector unit.
// Every lane does what the one-frame loop does, in the same order, so the output is the same to the bit.
typedef float Lanes __attribute__((vector_size(16)));
constexpr uint32_t laneCount = 4;

template <class FrameReader>
Lanes readFour(const float* from, int32_t k) {
    return Lanes{FrameReader::read(from, k), FrameReader::read(from, k + 1), FrameReader::read(from, k + 2),
                 FrameReader::read(from, k + 3)};
}

// The envelope gains of frames k to k + 3 of a run, as `gainAt` gives them, frame numbers converted
// to float the same way (a block holds fewer than 2^31 frames).
typedef int32_t FrameNumbers __attribute__((vector_size(16)));

Lanes gainsFrom(const EnvelopeRun& run, uint32_t k) {
    const FrameNumbers numbers = static_cast<int32_t>(k) + FrameNumbers{0, 1, 2, 3};
    return run.start + run.slope * __builtin_convertvector(numbers, Lanes);
}

void addFour(float* out, Lanes frames, float level, Lanes gains) {
    Lanes mix;
    std::memcpy(&mix, out, sizeof mix);
    mix += level * frames * gains;
    std::memcpy(out, &mix, sizeof mix);
}

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
    uint32_t k = 0;
    for (; k + laneCount <= length; k += laneCount) {
        addFour(out + k, readFour<FrameReader>(source, static_cast<int32_t>(k)), level, gainsFrom(ramp, k));
    }
    for (; k < length; ++k) {
        out[k] += level * FrameReader::read(source, static_cast<int32_t>(k)) * ramp.gainAt(k);
    }
    position_ += length;
    return length;
}

// The position steps by a float ratio. Every position a voice reaches is a sum of such ratios, so
// while the sums stay small enough each double addition is exact, and the positions can be counted
// as whole multiples of the ratio's last bit instead: the same values, with no chain of
// floating-point additions holding each frame back.
template <class FrameReader>
uint32_t SliceVoice::playRunStepByStep(float* out, const EnvelopeRun& run, float ratio, float level) noexcept {
    int exponent = 0;
    std::frexp(ratio, &exponent);
    const int shift = 24 - exponent;  // ratio * 2^shift is a whole number below 2^24
    const double scaledStart = std::ldexp(position_, shift);
    constexpr double exactBelow = 9007199254740992.0;  // 2^53
    const double scaledEnd = scaledStart + std::ldexp(static_cast<double>(ratio), shift) * (run.length + 1.0);
    if (!(ratio > 0.0f) || shift < 0 || shift > 62 || scaledStart != std::floor(scaledStart) ||
        scaledEnd >= exactBelow) {
        return playRunByAddition<FrameReader>(out, run, ratio, level);
    }
    const uint32_t frameCount = slice_->frameCount();
    const float* samples = slice_->samples();
    const auto step = static_cast<int64_t>(std::ldexp(static_cast<double>(ratio), shift));
    auto at = static_cast<int64_t>(scaledStart);
    auto frameAt = [&](int64_t scaled) {
        return FrameReader::read(FrameReader::locate(samples, static_cast<uint32_t>(scaled >> shift), frameCount), 0);
    };
    uint32_t k = 0;
    for (; k + laneCount <= run.length && ((at + 3 * step) >> shift) < frameCount; k += laneCount) {
        const Lanes frames = {frameAt(at), frameAt(at + step), frameAt(at + 2 * step), frameAt(at + 3 * step)};
        addFour(out + k, frames, level, gainsFrom(run, k));
        at += laneCount * step;
    }
    for (; k < run.length && (at >> shift) < frameCount; ++k) {
        out[k] += level * frameAt(at) * run.gainAt(k);
        at += step;
    }
    position_ = std::ldexp(static_cast<double>(at), -shift);
    return k;
}

template <class FrameReader>
uint32_t SliceVoice::playRunByAddition(float* out, const EnvelopeRun& run, float ratio, float level) noexcept {
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
