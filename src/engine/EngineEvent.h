#pragma once

#include <cstdint>

// One MIDI event of the coming block on its way from the host to the engine.
struct EngineEvent {
    uint8_t status = 0;  // message type in the high four bits, channel in the low four
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    double deltaFrames = 0.0;  // frame of the coming block at which the event takes effect
};
