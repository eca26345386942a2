#include "OnsetDetector.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t window = 256;
constexpr double riseFactor = 4.0;          // 6 dB of amplitude from one window to the next
constexpr double quietestOnset = 1e-3;      // energy against the loudest window: -30 dB
constexpr double nearPeak = 0.5;            // the onset frame reaches half the hit's peak level
constexpr double minimumGapSeconds = 0.05;  // hits closer than this belong to one slice

}  // namespace

OnsetDetector::OnsetDetector(int sampleRate)
    : minimumGap(static_cast<uint32_t>(std::max(1.0, sampleRate * minimumGapSeconds))) {}

std::vector<uint32_t> OnsetDetector::detect(const SoundFile& sound) const {
    const std::vector<float> levels = monoLevels(sound);
    const auto windows = static_cast<uint32_t>(levels.size() / window);
    std::vector<double> energy(windows, 0.0);
    for (uint32_t w = 0; w < windows; ++w) {
        for (uint32_t i = w * window; i < (w + 1) * window; ++i) {
            energy[w] += static_cast<double>(levels[i]) * levels[i];
        }
    }
    const double loudest = windows > 0 ? *std::max_element(energy.begin(), energy.end()) : 0.0;
    std::vector<uint32_t> onsets = {0};
    for (uint32_t w = 1; w < windows; ++w) {
        if (energy[w] <= loudest * quietestOnset || energy[w] <= riseFactor * energy[w - 1]) {
            continue;
        }
        const uint32_t frame = firstLoudFrame(levels, (w - 1) * window);
        if (frame >= onsets.back() + minimumGap) {
            onsets.push_back(frame);
        }
    }
    return onsets;
}

std::vector<float> OnsetDetector::monoLevels(const SoundFile& sound) const {
    std::vector<float> levels(sound.frames(), 0.0f);
    const auto channels = static_cast<size_t>(sound.channels);
    for (size_t frame = 0; frame < levels.size(); ++frame) {
        for (size_t c = 0; c < channels; ++c) {
            levels[frame] += std::abs(static_cast<float>(sound.pcm[frame * channels + c]));
        }
    }
    return levels;
}

// The rise may begin late in the window before the one that tripped the detector, so the search
// spans both and the window after, where a hit reaches its peak.
uint32_t OnsetDetector::firstLoudFrame(const std::vector<float>& levels, uint32_t from) const {
    const auto end = std::min<size_t>(levels.size(), from + 3 * window);
    const auto begin = levels.begin() + from;
    const float peak = *std::max_element(begin, levels.begin() + static_cast<std::ptrdiff_t>(end));
    const auto loud = std::find_if(begin, levels.end(), [&](float level) { return level >= peak * nearPeak; });
    return static_cast<uint32_t>(loud - levels.begin());
}
