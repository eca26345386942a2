#pragma once

#include <cstdint>
#include <vector>

// The music of a Standard MIDI File with its tracks merged into one timeline of ticks.
struct Song {
    struct Event {
        std::uint64_t tick;
        std::uint8_t status;
        std::uint8_t data1;
        std::uint8_t data2;
    };
    struct TempoChange {
        std::uint64_t tick;
        std::uint32_t microsecondsPerQuarter;
    };
    struct TimeSignature {
        std::uint64_t tick;
        std::uint32_t numerator;
        std::uint32_t denominator;  // the note value of a beat: 4 for quarter notes
    };

    std::uint16_t ticksPerQuarter = 480;
    // Channel messages in playing order: by tick, and at equal ticks by track, then as written.
    std::vector<Event> events;
    std::vector<TempoChange> tempoChanges;
    std::vector<TimeSignature> timeSignatures;
    // Where the last track ends, which may be later than its last event.
    std::uint64_t endTick = 0;

    // The song played `times` times back to back, each time starting at the previous end. Throws
    // std::runtime_error when the ticks of so long a song cannot be counted.
    Song repeated(std::uint32_t times) const;
};
