#include "engine/SliceEngine.h"
#include "engine/EngineConstants.h"

#include <limits>

namespace {

constexpr uint8_t noteOnStatus = 0x90;
constexpr uint8_t noteOffStatus = 0x80;
constexpr uint8_t controlChangeStatus = 0xB0;
constexpr uint8_t pitchBendStatus = 0xE0;
constexpr uint8_t volumeController = 7;
constexpr uint8_t panController = 10;
constexpr float controllerScale = 0.007874016f;
constexpr int32_t bendCentre = 8192;

// Hosts give small non-negative whole frames. Anything else (negative, not a number, beyond the
// integer range) must neither convert undefinedly nor leave a note-off waiting forever, so it counts
// as the block's first frame or the latest frame there is.
int32_t frameOf(double deltaFrames) {
    if (!(deltaFrames > 0.0)) {
        return 0;
    }
    constexpr double latest = std::numeric_limits<int32_t>::max();
    return deltaFrames < latest ? static_cast<int32_t>(deltaFrames) : std::numeric_limits<int32_t>::max();
}

float atLeastShortestRamp(float seconds) {
    return seconds > SliceEngine::shortestRamp ? seconds : SliceEngine::shortestRamp;
}

}  // namespace

SliceEngine::SliceEngine() : bank_(std::make_unique<SliceBank>()), filter_(sampleRate_) {
    voices_.reserve(voiceCount);
    for (uint32_t i = 0; i < voiceCount; ++i) {
        voices_.emplace_back(*bank_);
    }
}

SliceEngine::~SliceEngine() { releaseHeldList(); }

void SliceEngine::handleEvents(EngineEvent** list, uint32_t count) noexcept {
    releaseHeldList();
    events_ = list;
    eventCount_ = list != nullptr ? count : 0;
    for (uint32_t i = 0; i < eventCount_; ++i) {
        EngineEvent* event = list[i];
        if (event == nullptr) {
            continue;
        }
        handleEvent(*event);
        eventPool_.releaseEvent(event);
        list[i] = nullptr;
    }
}

void SliceEngine::handleEvent(const EngineEvent& event) noexcept {
    const int32_t delta = frameOf(event.deltaFrames);
    switch (event.status & 0xF0) {
        case noteOnStatus:
            if (event.data2 != 0) {
                noteOn(event.data1, event.data2, delta);
            } else {
                noteOff(event.data1, delta, false);
            }
            break;
        case noteOffStatus: noteOff(event.data1, delta, true); break;
        case controlChangeStatus: controlChange(event.data1, event.data2); break;
        case pitchBendStatus: pitchBend(event.data1, event.data2); break;
        default: break;
    }
}

void SliceEngine::noteOn(uint8_t note, uint8_t velocity, int32_t delta) noexcept {
    SliceVoice* voice = pickVoice();
    voice->setEnvelopeTimes(attackTime_, atLeastShortestRamp(decayTime_), sustainLevel_,
                            atLeastShortestRamp(releaseTime_));
    voice->noteOn(note, velocity, delta);
}

void SliceEngine::noteOff(uint8_t note, int32_t delta, bool allVoices) noexcept {
    for (SliceVoice& voice : voices_) {
        if (voice.note() == note) {
            voice.noteOff(delta);
            if (!allVoices) {
                return;
            }
        }
    }
}

void SliceEngine::controlChange(uint8_t controller, uint8_t value) noexcept {
    if (controller == volumeController) {
        volume_ = static_cast<float>(value) * controllerScale;
    } else if (controller == panController) {
        panPosition_ = int32_t{value} - 64;
        panGains_ = PanGains::forPosition(panPosition_);
    }
}

void SliceEngine::pitchBend(uint8_t low, uint8_t high) noexcept {
    const double bend = static_cast<double>(int32_t{low} + 128 * int32_t{high} - bendCentre) / bendCentre;
    bank_->setBendCents(static_cast<int16_t>(bend * bendRangeSemitones * 100.0));
}

void SliceEngine::render(float** outputs, int32_t frames) noexcept {
    if (outputs == nullptr || outputs[0] == nullptr || frames <= 0 || bank_->count() == 0) {
        return;
    }
    float* mix = outputs[0];
    for (SliceVoice& voice : voices_) {
        if (voice.isActive()) {
            voice.render(mix, static_cast<uint32_t>(frames));
        }
    }
    if (filterOn_) {
        filter_.render(mix, frames);
    }
}

void SliceEngine::setSampleRate(double samplesPerSecond) noexcept {
    sampleRate_ = samplesPerSecond;
    filter_.setSampleRate(samplesPerSecond);
    for (SliceVoice& voice : voices_) {
        voice.setSampleRate(samplesPerSecond);
    }
}

void SliceEngine::clearBank() {
    std::vector<std::unique_ptr<Slice>> none;
    exchangeSlices(none);
}

void SliceEngine::exchangeSlices(std::vector<std::unique_ptr<Slice>>& slices) {
    bank_->exchangeSlices(slices);
    releaseHeldList();
    for (SliceVoice& voice : voices_) {
        voice.reset();
    }
}

SliceVoice* SliceEngine::pickVoice() {
    for (SliceVoice& voice : voices_) {
        if (!voice.isActive()) {
            return &voice;
        }
    }
    return &voices_.front();
}

void SliceEngine::releaseHeldList() noexcept {
    eventPool_.releaseList(events_);
    events_ = nullptr;
    eventCount_ = 0;
}
