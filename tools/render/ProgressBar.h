#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

// A one-line progress bar for renders long enough to wait for. It draws only on a terminal, not
// before the render has run for a moment, and at most a few times a second.
class ProgressBar {
public:
    ProgressBar(std::ostream& terminal, bool enabled, double framesPerSecond);

    void update(std::int64_t done, std::int64_t total);
    // Shows the bar full and ends its line, if a bar was drawn.
    void finish(std::int64_t total);

    static std::string line(std::int64_t done, std::int64_t total, double framesPerSecond);

private:
    using Clock = std::chrono::steady_clock;

    std::ostream& out;
    bool enabled;
    double rate;
    Clock::time_point started = Clock::now();
    Clock::time_point lastDrawn{};
    bool drawn = false;
};
