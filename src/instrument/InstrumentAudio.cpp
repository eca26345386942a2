#include "engine/DenormalFlush.h"
#include "engine/EngineConstants.h"
#include "engine/SliceEngine.h"
#include "instrument/Instrument.h"
#include "instrument/TempoFollow.h"
#include "platform/PlatformServices.h"
#include "plugin/VstTime.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float supportedSampleRate = static_cast<float>(engineSampleRate);

void clear(float* channel, std::int32_t frames) noexcept {
    if (channel) std::fill(channel, channel + frames, 0.0f);
}

}  // namespace

void Instrument::process(float** inputs, float** outputs, std::int32_t frames) noexcept {
    processReplacing(inputs, outputs, frames);
}

void Instrument::processReplacing(float**, float** outputs, std::int32_t frames) noexcept {
    renderBlock(outputs, frames, nullptr, true);
}

void Instrument::render(float** outputs, std::int32_t frames, const MidiMessage* events, std::uint32_t eventCount,
                        const HostTime* time) noexcept {
    if (events && eventCount > 0) {
        takeMidi(eventCount, [events](std::uint32_t i, MidiMessage& message) {
            message = events[i];
            return true;
        });
    }
    renderBlock(outputs, frames, time, false);
}

void Instrument::renderBlock(float** outputs, std::int32_t frames, const HostTime* time, bool askHost) noexcept {
    if (!outputs || frames <= 0) return;
    ScopedDenormalFlush flush;
    clear(outputs[0], frames);
    clear(outputs[1], frames);
    applyPendingParameters();
    if (lfoSyncOn) {
        HostTime answered;
        const bool hostAnswered = askHost && VstTime::read(getTimeInfo(VstTime::requestMask), answered);
        followHostTempo(askHost ? (hostAnswered ? &answered : nullptr) : time, frames);
    }
    if (!outputs[0]) return;
    {
        AudioPass pass(gate);
        if (pass.mayUseEngine()) {
            followPlaybackRate();
            engine->render(outputs, frames);
        }
    }
    if (outputs[1]) std::copy(outputs[0], outputs[0] + frames, outputs[1]);
}

// The host sizes the list to its events; the record itself declares room for two. Only MIDI
// reaches the engine; other event types carry nothing it could play.
std::int32_t Instrument::processEvents(VstEvents* events) noexcept {
    if (!events || events->numEvents < 0) return 0;
    VstEvent* const* entries = events->events;
    const bool taken =
        takeMidi(static_cast<std::uint32_t>(events->numEvents), [entries](std::uint32_t i, MidiMessage& message) {
            const VstEvent* event = entries[i];
            if (!event || event->type != kVstMidiType) return false;
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            message.frame = midi->deltaFrames;
            for (int b = 0; b < 3; ++b) message.bytes[b] = static_cast<std::uint8_t>(midi->midiData[b]);
            return true;
        });
    return taken ? 1 : 0;
}

template <typename Read>
bool Instrument::takeMidi(std::uint32_t count, Read&& read) noexcept {
    ScopedDenormalFlush flush;
    applyPendingParameters();
    AudioPass pass(gate);
    if (!pass.mayUseEngine()) return false;
    followPlaybackRate();

    MidiMessage message;
    std::uint32_t midiCount = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (read(i, message)) ++midiCount;
    }
    EngineEvent** list = engine->allocateEventList(midiCount);
    if (!list) return false;

    std::uint32_t copied = 0;
    for (std::uint32_t i = 0; i < count && copied < midiCount; ++i) {
        if (!read(i, message)) continue;
        EngineEvent* record = engine->allocateEvent();
        if (!record) break;
        record->status = message.bytes[0];
        // Data bytes carry seven bits; a host's stray top bit must not make a velocity above 127.
        record->data1 = static_cast<std::uint8_t>(message.bytes[1] & 0x7f);
        record->data2 = static_cast<std::uint8_t>(message.bytes[2] & 0x7f);
        record->deltaFrames = message.frame;
        list[copied++] = record;
    }
    engine->handleEvents(list, copied);
    return true;
}

void Instrument::followHostTempo(const HostTime* time, std::int32_t frames) noexcept {
    const TempoFollow follow = TempoFollow::follow(time, lfoSyncMode, frames, engine->sampleRate());
    if (!follow.valid) return;
    engine->filter().setLfoRate(follow.lfoRate);
    if (follow.restartSteps != TempoFollow::noRestart) engine->filter().scheduleLfoRestart(follow.restartSteps);
}

void Instrument::followPlaybackRate() noexcept {
    const double rate = playbackRate.load();
    if (rate != engine->sampleRate()) engine->setSampleRate(rate);
}

void Instrument::setSampleRate(float rate) {
    if (!makeRateConversion) {
        refuseOtherRates(rate);
        return;
    }
    // Hosts mean no harm with such rates, but converting to them could not end well: the last good
    // rate holds, and one line says so.
    if (!followsSampleRate(rate)) {
        if (!badRateReported.exchange(true)) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "the host asked for a sample rate of %g Hz, outside %d to %d Hz; the instrument stays at "
                          "%g Hz.",
                          static_cast<double>(rate), lowestSampleRate, highestSampleRate, playbackRate.load());
            platform.report(text);
        }
        return;
    }
    std::lock_guard<std::mutex> serialised(stateLock);
    EffectBaseEx::setSampleRate(rate);
    if (rate != playbackRate.load()) changePlaybackRate(rate);
}

// Without a converter the envelopes, filter and LFO work at the rate the slices are recorded at,
// and other rates are refused, loudly but without holding the host's call: a host rendering with
// nobody at the screen must not wait for a click. One notice per instance at a time.
void Instrument::refuseOtherRates(float rate) {
    if (rate == supportedSampleRate || sampleRateNoticeUp->exchange(true)) return;
    platform.showNotice("Brevatone", "This version of Brevatone doesn't support\nSample Rates other than 44.1kHz",
                        sampleRateNoticeUp);
}

void Instrument::setBlockSizeAndSampleRate(std::int32_t size, float rate) {
    if (!makeRateConversion) {
        EffectBaseEx::setBlockSizeAndSampleRate(size, rate);
        return;
    }
    setBlockSize(size);
    setSampleRate(rate);
}

void Instrument::resume() { wantEvents(1); }
