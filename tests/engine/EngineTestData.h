#pragma once

#include "engine/EngineEvent.h"
#include "engine/Slice.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

class SliceEngine;

// Builders for the slices and event lists the engine tests play with.
namespace engine_test {

// 0, 1, 2, ... scaled by `step`: each frame's value tells which element was read.
std::vector<float> ramp(uint32_t length, float step = 1.0f);
Slice* makeSlice(const std::vector<float>& values, int32_t channels = 1, uint16_t note = Slice::unassignedNote);
// Hands the events to the engine the way the instrument does: list and records from the engine's storage.
void send(SliceEngine& engine, std::initializer_list<EngineEvent> events);
EngineEvent noteOn(uint8_t note, uint8_t velocity = 127, double delta = 0.0);
EngineEvent noteOff(uint8_t note, double delta = 0.0);
EngineEvent bend(uint8_t low, uint8_t high);

// A slice that counts its destructions, to show what the bank destroys.
class CountedSlice : public Slice {
public:
    explicit CountedSlice(uint16_t note);
    ~CountedSlice() override;
    static int destroyed;
};

}  // namespace engine_test
