#pragma once

#include "engine/EngineEvent.h"
#include "engine/EngineEventPool.h"
#include "engine/PanGains.h"
#include "engine/ResonantFilter.h"
#include "engine/SliceBank.h"
#include "engine/SliceVoice.h"

#include <cstdint>
#include <memory>
#include <vector>

// The sound generator: eight voices playing slices of the bank, driven by MIDI events, mixed into the
// first output channel and then, if switched on, run through the resonant filter.
class SliceEngine {
public:
    static constexpr uint32_t voiceCount = 8;
    static constexpr int32_t bendRangeSemitones = 12;
    // Shortest decay and release a voice gets, so that neither divides by zero.
    static constexpr float shortestRamp = 0.005f;

    SliceEngine();
    virtual ~SliceEngine();

    SliceEngine(const SliceEngine&) = delete;
    SliceEngine& operator=(const SliceEngine&) = delete;

    // Storage for the lists and records handed to handleEvents; see EngineEventPool.
    EngineEvent** allocateEventList(uint32_t count) noexcept { return eventPool_.allocateList(count); }
    EngineEvent* allocateEvent() noexcept { return eventPool_.allocateEvent(); }

    // Takes ownership of the list and its records. Each record is released once handled; the list is
    // kept until the next call (or clearBank, or destruction).
    void handleEvents(EngineEvent** list, uint32_t count) noexcept;
    // Adds into outputs[0]; the caller clears it first. Nothing happens while the bank is empty.
    void render(float** outputs, int32_t frames) noexcept;

    int32_t addSlice(Slice* slice) { return bank_->addSlice(slice); }
    void clearBank();
    // Plays the given slices from now on (voices reset, held events dropped) and hands the previous
    // ones back in `slices`: releasing a large loop then need not happen while audio waits.
    void exchangeSlices(std::vector<std::unique_ptr<Slice>>& slices);

    void setAttack(float seconds) { attackTime_ = seconds; }
    void setDecay(float seconds) { decayTime_ = seconds; }
    void setSustain(float level) { sustainLevel_ = level; }
    void setRelease(float seconds) { releaseTime_ = seconds; }
    void setFilterOn(bool on) { filterOn_ = on; }
    // Envelopes, filter and LFO count at this rate from the next block; the slices must be at it too.
    void setSampleRate(double samplesPerSecond) noexcept;
    double sampleRate() const { return sampleRate_; }

    ResonantFilter& filter() { return filter_; }
    const ResonantFilter& filter() const { return filter_; }
    SliceVoice* pickVoice();

    const SliceBank& bank() const { return *bank_; }
    const SliceVoice& voice(uint32_t index) const { return voices_[index]; }
    uint32_t heldEventCount() const { return eventCount_; }
    const EngineEventPool& eventPool() const { return eventPool_; }
    float attackTime() const { return attackTime_; }
    float decayTime() const { return decayTime_; }
    float sustainLevel() const { return sustainLevel_; }
    float releaseTime() const { return releaseTime_; }
    bool isFilterOn() const { return filterOn_; }
    // Controller 7 and 10 values are kept for whoever wants them; they do not change the sound.
    float volume() const { return volume_; }
    int32_t panPosition() const { return panPosition_; }
    const PanGains& panGains() const { return panGains_; }

private:
    void handleEvent(const EngineEvent& event) noexcept;
    void noteOn(uint8_t note, uint8_t velocity, int32_t delta) noexcept;
    void noteOff(uint8_t note, int32_t delta, bool allVoices) noexcept;
    void controlChange(uint8_t controller, uint8_t value) noexcept;
    void pitchBend(uint8_t low, uint8_t high) noexcept;
    void releaseHeldList() noexcept;

    EngineEventPool eventPool_;
    std::unique_ptr<SliceBank> bank_;
    std::vector<SliceVoice> voices_;
    EngineEvent** events_ = nullptr;
    uint32_t eventCount_ = 0;
    float attackTime_ = 0.0f;
    float decayTime_ = 1.0f;
    float sustainLevel_ = 0.0f;
    float releaseTime_ = 0.0f;
    double sampleRate_ = engineSampleRate;
    ResonantFilter filter_;
    bool filterOn_ = false;
    float volume_ = 1.0f;
    int32_t panPosition_ = 0;
    PanGains panGains_;
};
