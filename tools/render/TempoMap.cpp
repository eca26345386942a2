#include "TempoMap.h"

#include <algorithm>
#include <cmath>

// Times are kept per quarter note rather than per tick: whole tempos such as 0.5 s a beat then
// give whole beat positions exactly, which the plug-in compares against its bar lines.
TempoMap::TempoMap(const Song& song, double sampleRate) : ticksPerQuarter(song.ticksPerQuarter), rate(sampleRate) {
    segments.push_back({0, 0.0, defaultMicrosecondsPerQuarter / 1e6});
    for (const Song::TempoChange& change : song.tempoChanges) {
        const double secondsPerQuarter = change.microsecondsPerQuarter / 1e6;
        // Of several changes at one tick, the last one written holds.
        if (change.tick == segments.back().tick) {
            segments.back().secondsPerQuarter = secondsPerQuarter;
        } else {
            segments.push_back({change.tick, secondsAt(change.tick), secondsPerQuarter});
        }
    }
}

double TempoMap::secondsAt(std::uint64_t tick) const {
    const Segment& segment = segmentForTick(tick);
    return segment.seconds + static_cast<double>(tick - segment.tick) / ticksPerQuarter * segment.secondsPerQuarter;
}

std::int64_t TempoMap::frameAt(std::uint64_t tick) const { return std::llround(secondsAt(tick) * rate); }

double TempoMap::quarterAt(std::int64_t frame) const {
    const double seconds = static_cast<double>(frame) / rate;
    const Segment& segment = segmentForSeconds(seconds);
    return static_cast<double>(segment.tick) / ticksPerQuarter +
           (seconds - segment.seconds) / segment.secondsPerQuarter;
}

double TempoMap::tempoAt(std::int64_t frame) const {
    const Segment& segment = segmentForSeconds(static_cast<double>(frame) / rate);
    return 60.0 / segment.secondsPerQuarter;
}

const TempoMap::Segment& TempoMap::segmentForTick(std::uint64_t tick) const {
    const auto after = std::upper_bound(segments.begin(), segments.end(), tick,
                                        [](std::uint64_t t, const Segment& s) { return t < s.tick; });
    return *(after - 1);
}

const TempoMap::Segment& TempoMap::segmentForSeconds(double seconds) const {
    const auto after = std::upper_bound(segments.begin(), segments.end(), seconds,
                                        [](double s, const Segment& segment) { return s < segment.seconds; });
    return after == segments.begin() ? segments.front() : *(after - 1);
}
