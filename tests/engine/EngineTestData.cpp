#include "EngineTestData.h"

#include "engine/SliceEngine.h"

namespace engine_test {

std::vector<float> ramp(uint32_t length, float step) {
    std::vector<float> values(length);
    for (uint32_t i = 0; i < length; ++i) {
        values[i] = static_cast<float>(i) * step;
    }
    return values;
}

Slice* makeSlice(const std::vector<float>& values, int32_t channels, uint16_t note) {
    auto* slice = new Slice(values.data(), static_cast<uint32_t>(values.size()), 44100, 16, channels);
    slice->setNote(note);
    return slice;
}

void send(SliceEngine& engine, std::initializer_list<EngineEvent> events) {
    EngineEvent** list = engine.allocateEventList(static_cast<uint32_t>(events.size()));
    uint32_t i = 0;
    for (const EngineEvent& event : events) {
        list[i] = engine.allocateEvent();
        *list[i++] = event;
    }
    engine.handleEvents(list, i);
}

EngineEvent noteOn(uint8_t note, uint8_t velocity, double delta) { return EngineEvent{0x90, note, velocity, delta}; }

EngineEvent noteOff(uint8_t note, double delta) { return EngineEvent{0x80, note, 0, delta}; }

EngineEvent bend(uint8_t low, uint8_t high) { return EngineEvent{0xE0, low, high, 0.0}; }

int CountedSlice::destroyed = 0;

CountedSlice::CountedSlice(uint16_t note) : Slice(nullptr, 0, 44100, 16, 1) { setNote(note); }

CountedSlice::~CountedSlice() { ++destroyed; }

}  // namespace engine_test
