#include "onset/OnsetDetector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Frames between analysis windows at the rate the detector was tuned at (1.5 ms), in proportion at
// other rates, so that every span counted in hops below lasts as long whatever the rate.
constexpr double tunedRate = 44100.0;
constexpr double framesPerHopAtTunedRate = 64.0;
constexpr uint32_t windowHops = 4;
// A rise is measured against the loudest of the windows in the last 23 ms, not the last one alone,
// so that the level of a low tone, which swings with its phase in windows shorter than its period,
// does not pass for new hits.
constexpr uint32_t lookBackHops = 16;
constexpr int bands = 5;
// A hall's first echoes, brought up by a compressor, come 50 to 100 ms after a hit and in its bands:
// a band rises only above a fifth (7 dB under) of its loudest window in the last 100 ms.
constexpr size_t echoHops = 69;
constexpr double echoShare = 0.2;
// Of two rises closer than the minimum gap, the first is the hit (a flam's grace note, the first
// layer of a layered hit) unless the second rises 20 dB further.
constexpr double laterRiseDominance = 100.0;
// The whole sound and four bands of it, from and to these frequencies (0: no top): kicks, the bodies
// of snares and toms, snares, hats each rise in some band that the tails of the others hardly fill.
struct Band {
    double lowHz;
    double highHz;
};
constexpr std::array<Band, bands - 1> bandEdges = {{{150.0, 600.0}, {600.0, 0.0}, {2000.0, 0.0}, {6000.0, 0.0}}};
// The bands' rises multiplied, as an energy ratio: 6 dB, above what a noise floor or a decaying tail
// wanders by.
constexpr double riseNeeded = 3.9810717055349722;
// Band levels are measured against this much below the loudest window, so that near-silence does
// not turn specks of noise into large rises.
constexpr double floorBelowLoudest = 1e-7;
// A window this far below the loudest one holds no hit worth a slice.
constexpr double quietestHit = 1e-6;
constexpr double minimumGapSeconds = 0.05;

// e^-x for x >= 0 from plain arithmetic: x halved until the series converges at once, then squared
// back. Libraries' exp may differ in the last bit between systems, and a loop must slice alike on all.
double exponentialDecay(double x) {
    int halvings = 0;
    for (; x > 1.0 / 64; x *= 0.5) ++halvings;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term *= -x / n;
        sum += term;
    }
    for (; halvings > 0; --halvings) sum *= sum;
    return sum;
}

// The four bands side by side in the lanes of one vector, which the compiler maps onto the machine's
// vector unit, so that splitting the sound costs little more than reading it. Each lane runs four
// one-pole high-pass stages, 24 dB per octave, so that a kick's body lies some 60 dB down a few
// octaves above it, then two one-pole low-pass stages, which let everything through in a band
// without a top.
typedef float BandLanes __attribute__((vector_size(16)));
static_assert(sizeof(BandLanes) / sizeof(float) == bandEdges.size(), "one lane per band");

class BandSplitter {
public:
    explicit BandSplitter(double sampleRate) {
        for (size_t b = 0; b < bandEdges.size(); ++b) {
            lowKeep[b] = keepFor(bandEdges[b].lowHz, sampleRate);
            highKeep[b] = bandEdges[b].highHz > 0.0 ? keepFor(bandEdges[b].highHz, sampleRate) : 0.0f;
        }
    }
    BandLanes next(float sample) {
        BandLanes x = {sample, sample, sample, sample};
        for (BandLanes& low : lows) {
            low = x + lowKeep * (low - x);
            x -= low;
        }
        for (BandLanes& high : highs) {
            high = x + highKeep * (high - x);
            x = high;
        }
        return x;
    }

private:
    static float keepFor(double cutoffHz, double sampleRate) {
        return static_cast<float>(exponentialDecay(2.0 * 3.141592653589793 * cutoffHz / sampleRate));
    }

    BandLanes lowKeep{};
    BandLanes highKeep{};
    std::array<BandLanes, 4> lows{};
    std::array<BandLanes, 2> highs{};
};

// Entry i: the largest of the `width` values up to and including values[i] (fewer at the start), for
// every i in one pass of each direction over blocks of `width`.
std::vector<double> trailingMaximum(const std::vector<double>& values, size_t width) {
    const size_t count = values.size();
    std::vector<double> fromBlockStart(count);
    std::vector<double> toBlockEnd(count);
    for (size_t i = 0; i < count; ++i) {
        fromBlockStart[i] = i % width == 0 ? values[i] : std::max(fromBlockStart[i - 1], values[i]);
    }
    for (size_t i = count; i-- > 0;) {
        toBlockEnd[i] = i + 1 == count || (i + 1) % width == 0 ? values[i] : std::max(toBlockEnd[i + 1], values[i]);
    }
    std::vector<double> result(count);
    for (size_t i = 0; i < count; ++i) {
        result[i] = i + 1 >= width ? std::max(toBlockEnd[i + 1 - width], fromBlockStart[i]) : fromBlockStart[i];
    }
    return result;
}

}  // namespace

OnsetDetector::OnsetDetector(int rate)
    : sampleRate(rate > 0 ? rate : static_cast<int>(tunedRate)),
      hop(static_cast<uint32_t>(std::max(1.0, std::round(framesPerHopAtTunedRate * sampleRate / tunedRate)))),
      minimumGap(static_cast<uint32_t>(std::max(1.0, sampleRate * minimumGapSeconds))) {}

std::vector<uint32_t> OnsetDetector::detect(const float* interleaved, uint32_t frames, int channels) const {
    const std::vector<float> samples = monoSamples(interleaved, frames, channels);
    const std::vector<double> rise = riseFunction(samples);
    std::vector<Candidate> candidates;
    for (size_t h = 0; h < rise.size(); ++h) {
        if (rise[h] < riseNeeded) continue;
        // The strongest rise nearby stands for the hit; windows on either side see parts of it.
        const size_t from = h >= windowHops ? h - windowHops : 0;
        const size_t to = std::min(rise.size(), h + windowHops + 1);
        const auto strongest = std::max_element(rise.begin() + static_cast<std::ptrdiff_t>(from),
                                                rise.begin() + static_cast<std::ptrdiff_t>(to));
        if (static_cast<size_t>(strongest - rise.begin()) != h) continue;
        const auto start = static_cast<uint32_t>(h * hop);
        const uint32_t begin = start >= hop ? start - hop : 0;
        const auto end = static_cast<uint32_t>(std::min<size_t>(samples.size(), start + hop * windowHops));
        if (begin < end) candidates.push_back({startOfRise(samples, begin, end), rise[h]});
    }
    return keepApart(std::move(candidates));
}

// On the scale of 16-bit values, which the start of a rise is measured on.
std::vector<float> OnsetDetector::monoSamples(const float* interleaved, uint32_t frames, int channelCount) {
    std::vector<float> samples(channelCount > 0 ? frames : 0, 0.0f);
    const auto channels = static_cast<size_t>(std::max(channelCount, 1));
    for (size_t frame = 0; frame < samples.size(); ++frame) {
        float sum = 0.0f;
        for (size_t c = 0; c < channels; ++c) sum += interleaved[frame * channels + c];
        samples[frame] = sum * 32768.0f / static_cast<float>(channels);
    }
    return samples;
}

// Per band, the energy of the window starting at frame h * hop, for every h. Windows run past the
// end so that a hit on the last frames is heard too.
std::vector<std::vector<double>> OnsetDetector::windowEnergies(const std::vector<float>& samples) const {
    const size_t hops = (samples.size() + hop - 1) / hop + windowHops;
    std::vector<std::vector<double>> hopEnergy(bands, std::vector<double>(hops, 0.0));
    BandSplitter splitter(sampleRate);
    for (size_t h = 0; h * hop < samples.size(); ++h) {
        double whole = 0.0;
        BandLanes parts{};
        const size_t end = std::min(samples.size(), (h + 1) * hop);
        for (size_t i = h * hop; i < end; ++i) {
            const float x = samples[i];
            whole += static_cast<double>(x) * x;
            const BandLanes split = splitter.next(x);
            parts += split * split;
        }
        hopEnergy[0][h] = whole;
        for (size_t b = 1; b < bands; ++b) hopEnergy[b][h] = parts[b - 1];
    }
    std::vector<std::vector<double>> energy(bands, std::vector<double>(hops, 0.0));
    for (size_t b = 0; b < bands; ++b) {
        double running = 0.0;
        for (size_t h = hops; h-- > 0;) {
            running += hopEnergy[b][h];
            if (h + windowHops < hops) running -= hopEnergy[b][h + windowHops];
            energy[b][h] = std::max(0.0, running);
        }
    }
    return energy;
}

// Entry h: how far the band energies of the window starting at frame h * hop rose above those of the
// windows before it, the ratios of the bands that rose multiplied (their decibels summed). Ratios
// rather than logarithms keep every decision to exact arithmetic.
std::vector<double> OnsetDetector::riseFunction(const std::vector<float>& samples) const {
    std::vector<std::vector<double>> level = windowEnergies(samples);
    const size_t hops = level[0].size();
    std::vector<double> total(hops, 0.0);
    for (const std::vector<double>& energy : level) {
        for (size_t h = 0; h < hops; ++h) total[h] += energy[h];
    }
    const double loudest = *std::max_element(total.begin(), total.end());
    const double floor = std::max(loudest * floorBelowLoudest, std::numeric_limits<double>::min());
    for (std::vector<double>& energy : level) {
        for (double& value : energy) value += floor;
    }
    std::vector<double> rise(hops, 1.0);
    for (const std::vector<double>& bandLevel : level) {
        const std::vector<double> recent = trailingMaximum(bandLevel, lookBackHops + 1);
        const std::vector<double> echoing = trailingMaximum(bandLevel, echoHops - windowHops + 1);
        for (size_t h = 0; h < hops; ++h) {
            if (total[h] <= loudest * quietestHit) continue;
            const double before =
                h < windowHops ? floor : std::max(recent[h - windowHops], echoing[h - windowHops] * echoShare);
            rise[h] *= std::max(1.0, bandLevel[h] / std::max(before, floor));
        }
    }
    return rise;
}

// The frame where the new sound starts, between `from` and `to`: the first whose swing covers half
// the way from the level just before to the peak. Of the samples and their differences, the one that
// rises further against what went before decides, so that a bright hit over a dull tail is placed by
// its brightness.
uint32_t OnsetDetector::startOfRise(const std::vector<float>& samples, uint32_t from, uint32_t to) const {
    const uint32_t window = hop * windowHops;
    const uint32_t before = from >= window ? from - window : 0;
    auto swing = [&](uint32_t i, bool difference) {
        const float previous = difference && i > 0 ? samples[i - 1] : 0.0f;
        return std::abs(samples[i] - previous);
    };
    uint32_t best = from;
    double bestRatio = -1.0;
    for (const bool difference : {false, true}) {
        float prior = 0.0f;
        float peak = 0.0f;
        for (uint32_t i = before; i < from; ++i) prior = std::max(prior, swing(i, difference));
        for (uint32_t i = from; i < to; ++i) peak = std::max(peak, swing(i, difference));
        const double ratio = peak / (static_cast<double>(prior) + 1.0);
        if (ratio <= bestRatio) continue;
        bestRatio = ratio;
        const float halfWay = prior + 0.5f * (peak - prior);
        best = from;
        while (best + 1 < to && swing(best, difference) < halfWay) ++best;
    }
    return best;
}

// Onsets closer than the minimum gap are one hit: the first stays unless the later one's rise dwarfs
// it, and frame 0, which always starts a slice, stays over any.
std::vector<uint32_t> OnsetDetector::keepApart(std::vector<Candidate> candidates) const {
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.frame < b.frame; });
    std::vector<Candidate> kept = {{0, std::numeric_limits<double>::infinity()}};
    for (const Candidate& candidate : candidates) {
        if (candidate.frame >= kept.back().frame + minimumGap) {
            kept.push_back(candidate);
        } else if (candidate.rise > kept.back().rise * laterRiseDominance) {
            kept.back() = candidate;
        }
    }
    std::vector<uint32_t> onsets;
    for (const Candidate& candidate : kept) onsets.push_back(candidate.frame);
    return onsets;
}
