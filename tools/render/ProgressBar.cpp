#include "ProgressBar.h"

#include <cstdio>
#include <string>

namespace {

constexpr int barWidth = 30;
constexpr auto quietStart = std::chrono::milliseconds(400);
constexpr auto redrawInterval = std::chrono::milliseconds(100);

std::string minutesAndSeconds(double seconds) {
    const auto whole = static_cast<long>(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& terminal, bool isTerminal, double framesPerSecond)
    : out(terminal), enabled(isTerminal), rate(framesPerSecond) {}

void ProgressBar::update(std::int64_t done, std::int64_t total) {
    if (!enabled) return;
    const Clock::time_point now = Clock::now();
    if (now - started < quietStart || (drawn && now - lastDrawn < redrawInterval)) return;
    out << '\r' << line(done, total, rate) << std::flush;
    lastDrawn = now;
    drawn = true;
}

void ProgressBar::finish(std::int64_t total) {
    if (drawn) out << '\r' << line(total, total, rate) << '\n' << std::flush;
}

std::string ProgressBar::line(std::int64_t done, std::int64_t total, double framesPerSecond) {
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * barWidth);
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100.0));
    return "rendering [" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(barWidth - filled), '-') + "] " + percent + "  " +
           minutesAndSeconds(static_cast<double>(done) / framesPerSecond) + " of " +
           minutesAndSeconds(static_cast<double>(total) / framesPerSecond);
}
