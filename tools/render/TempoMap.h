#pragma once

#include "Song.h"

#include <cstdint>
#include <vector>

// Where a song's ticks fall in time. Until its first tempo event a song runs at 120 beats per
// minute, as Standard MIDI Files define.
class TempoMap {
public:
    static constexpr std::uint32_t defaultMicrosecondsPerQuarter = 500000;

    TempoMap(const Song& song, double sampleRate);

    double secondsAt(std::uint64_t tick) const;
    // The frame nearest to the tick's time.
    std::int64_t frameAt(std::uint64_t tick) const;
    // The position in quarter notes at the start of a frame.
    double quarterAt(std::int64_t frame) const;
    // Beats per minute in force at a frame.
    double tempoAt(std::int64_t frame) const;

private:
    struct Segment {
        std::uint64_t tick;
        double seconds;
        double secondsPerQuarter;
    };

    const Segment& segmentForTick(std::uint64_t tick) const;
    const Segment& segmentForSeconds(double seconds) const;

    std::vector<Segment> segments;
    double ticksPerQuarter;
    double rate;
};
