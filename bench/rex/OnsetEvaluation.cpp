// How well `brevatone-rex make --detect` finds hits: synthesised drum loops whose hit times are
// known (kicks, snares, ghost notes 20 to 30 dB down, hats, open hats and crashes with long tails,
// swing, 70 to 180 bpm, mono and stereo, some with a noise floor, a reverb tail or clipping),
// scored as precision, recall and F with a detected onset counting as a hit within 10 ms of it.
// Prints one line per loop, the totals, and the detector's time for ten seconds of sound.
#include "SoundFileInput.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr double pi = 3.141592653589793;
constexpr uint32_t tolerance = rate / 100;  // 10 ms

enum class Drum { kick, snare, ghost, closedHat, openHat, crash, tom };

struct Hit {
    double beat;  // in quarter notes from the loop's start, before swing
    Drum drum;
};

struct LoopRecipe {
    std::string name;
    double tempo;
    double swing;  // how far the off-beat sixteenths are pushed, as a share of a sixteenth
    int channels;
    double noiseFloorDb;  // 0 for none
    bool reverb;
    double peak;  // the mix's peak against full scale; above 1 clips
    std::vector<Hit> hits;
};

class Random {
public:
    explicit Random(uint32_t seed) : engine(seed) {}
    double uniform() { return static_cast<double>(engine()) / 4294967296.0; }
    double between(double low, double high) { return low + (high - low) * uniform(); }

private:
    std::mt19937 engine;
};

// One drum hit: the sound of `drum` at `gain`, starting at its first sample.
std::vector<double> drumSound(Drum drum, double gain, Random& random) {
    // Long enough to decay some 60 dB, and faded out over the last 10 ms so that the end is no click.
    const double seconds = drum == Drum::crash ? 4.0 : drum == Drum::openHat ? 1.8 : 1.4;
    const auto length = static_cast<size_t>(rate * seconds);
    const auto fade = static_cast<size_t>(rate / 100);
    std::vector<double> sound(length);
    double phase = 0.0;
    double previousNoise = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double noise = random.between(-1.0, 1.0);
        const double bright = noise - previousNoise;  // a first difference leans the noise upwards
        previousNoise = noise;
        double value = 0.0;
        switch (drum) {
            case Drum::kick:
                phase += 2.0 * pi * (48.0 + 110.0 * std::exp(-t / 0.025)) / rate;
                value = std::sin(phase) * std::exp(-t / 0.22) + 0.25 * noise * std::exp(-t / 0.002);
                break;
            case Drum::snare:
            case Drum::ghost:
                phase += 2.0 * pi * 185.0 / rate;
                value = 0.5 * std::sin(phase) * std::exp(-t / 0.06) + 0.45 * bright * std::exp(-t / 0.1);
                break;
            case Drum::closedHat: value = 0.35 * bright * std::exp(-t / 0.02); break;
            case Drum::openHat: value = 0.3 * bright * std::exp(-t / 0.25); break;
            case Drum::crash: value = 0.3 * bright * std::exp(-t / 0.9); break;
            case Drum::tom:
                phase += 2.0 * pi * (105.0 + 40.0 * std::exp(-t / 0.05)) / rate;
                value = 0.8 * std::sin(phase) * std::exp(-t / 0.18);
                break;
        }
        const double fadeOut =
            i + fade > length ? 0.5 - 0.5 * std::cos(pi * static_cast<double>(length - i) / fade) : 1.0;
        sound[i] = gain * value * fadeOut;
    }
    return sound;
}

double drumGain(Drum drum, Random& random) {
    const double humanised = std::pow(10.0, random.between(-2.0, 1.0) / 20.0);
    if (drum == Drum::ghost) {
        return std::pow(10.0, -random.between(20.0, 30.0) / 20.0) * humanised;
    }
    return humanised;
}

// A room: eight damped combs in parallel, then four all-passes, mixed in about 12 dB down.
void addReverb(std::vector<double>& mix) {
    const size_t combDelays[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const size_t allPassDelays[] = {556, 441, 341, 225};
    std::vector<double> wet(mix.size(), 0.0);
    for (const size_t delay : combDelays) {
        std::vector<double> line(delay, 0.0);
        double damped = 0.0;
        for (size_t i = 0; i < mix.size(); ++i) {
            const double out = line[i % delay];
            damped = 0.6 * out + 0.4 * damped;
            line[i % delay] = mix[i] + 0.8 * damped;
            wet[i] += out / 8.0;
        }
    }
    for (const size_t delay : allPassDelays) {
        std::vector<double> line(delay, 0.0);
        for (size_t i = 0; i < wet.size(); ++i) {
            const double delayed = line[i % delay];
            const double in = wet[i];
            line[i % delay] = in + 0.5 * delayed;
            wet[i] = delayed - 0.5 * in;
        }
    }
    for (size_t i = 0; i < mix.size(); ++i) mix[i] += 0.25 * wet[i];
}

struct RenderedLoop {
    SoundFile sound;
    std::vector<uint32_t> onsets;  // where hits start, one entry for hits that start together
};

RenderedLoop render(const LoopRecipe& recipe, uint32_t seed) {
    Random random(seed);
    const double secondsPerBeat = 60.0 / recipe.tempo;
    double lastBeat = 0.0;
    for (const Hit& hit : recipe.hits) lastBeat = std::max(lastBeat, hit.beat);
    const double beats = std::ceil((lastBeat + 0.01) / 4.0) * 4.0;
    const auto frames = static_cast<size_t>(beats * secondsPerBeat * rate);
    std::vector<std::vector<double>> channels(static_cast<size_t>(recipe.channels), std::vector<double>(frames, 0.0));
    std::vector<uint32_t> starts;
    for (const Hit& hit : recipe.hits) {
        const double sixteenth = hit.beat * 4.0;
        const bool offBeat = std::fmod(sixteenth, 2.0) == 1.0;
        const double swung = hit.beat + (offBeat ? recipe.swing / 4.0 : 0.0);
        const double humanised = hit.beat == 0.0 ? 0.0 : random.between(-0.003, 0.003);
        const auto start = static_cast<uint32_t>(std::max(0.0, (swung * secondsPerBeat + humanised) * rate));
        starts.push_back(start);
        const std::vector<double> sound = drumSound(hit.drum, drumGain(hit.drum, random), random);
        const double pan = recipe.channels == 2 ? random.between(0.2, 0.8) : 0.5;
        for (size_t c = 0; c < channels.size(); ++c) {
            const double side = recipe.channels == 2 ? (c == 0 ? 1.0 - pan : pan) * 1.4 : 1.0;
            for (size_t i = 0; i < sound.size() && start + i < frames; ++i) channels[c][start + i] += side * sound[i];
        }
    }
    double loudest = 0.0;
    for (std::vector<double>& channel : channels) {
        if (recipe.reverb) addReverb(channel);
        for (const double value : channel) loudest = std::max(loudest, std::abs(value));
    }
    const double noise = recipe.noiseFloorDb != 0.0 ? std::pow(10.0, recipe.noiseFloorDb / 20.0) : 0.0;
    RenderedLoop loop;
    loop.sound.channels = recipe.channels;
    loop.sound.sampleRate = rate;
    loop.sound.pcm.resize(frames * channels.size());
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < channels.size(); ++c) {
            const double value = (channels[c][i] / loudest * recipe.peak + noise * random.between(-1.7, 1.7)) * 32767.0;
            loop.sound.pcm[i * channels.size() + c] =
                static_cast<int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
        }
    }
    std::sort(starts.begin(), starts.end());
    for (const uint32_t start : starts) {
        if (loop.onsets.empty() || start > loop.onsets.back() + tolerance / 2) loop.onsets.push_back(start);
    }
    return loop;
}

// Grooves on a sixteenth grid over `bars` bars: one string per drum, one character per sixteenth
// ('x' a hit, '.' none), repeated to fill the bars.
std::vector<Hit> groove(int bars, const std::vector<std::pair<Drum, std::string>>& lanes) {
    std::vector<Hit> hits;
    for (const auto& [drum, steps] : lanes) {
        for (int bar = 0; bar < bars; ++bar) {
            for (size_t step = 0; step < 16; ++step) {
                if (steps[step % steps.size()] == 'x') {
                    hits.push_back({bar * 4.0 + static_cast<double>(step) / 4.0, drum});
                }
            }
        }
    }
    return hits;
}

std::vector<std::vector<Hit>> grooves() {
    return {
        groove(2, {{Drum::kick, "x.......x......."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::closedHat, "x.x.x.x.x.x.x.x."}}),
        groove(2, {{Drum::kick, "x.....x...x....."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::ghost, ".......x.x....x."},
                   {Drum::closedHat, "x.x.x.x.x.x.x.x."}}),
        groove(2, {{Drum::kick, "x..x......x..x.."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::ghost, ".x.....x.x...x.x"},
                   {Drum::closedHat, "..x...x...x...x."}}),
        groove(2, {{Drum::crash, "x..............."},
                   {Drum::kick, "x.......x.x....."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::closedHat, "....x.x.x.x.x.x."}}),
        groove(2, {{Drum::kick, "x.........x....."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::openHat, "..x...x...x...x."},
                   {Drum::closedHat, "x...x...x...x..."}}),
        groove(2, {{Drum::kick, "x.x.......x.x..."},
                   {Drum::snare, "....x..x.x..x..."},
                   {Drum::ghost, "...........x...x"},
                   {Drum::tom, "..............x."}}),
        groove(
            2,
            {{Drum::kick, "x...x...x...x..."}, {Drum::ghost, "..x...x...x...x."}, {Drum::openHat, "..x...x...x...x."}}),
        groove(2, {{Drum::kick, "x..x..x.x..x..x."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::ghost, "..x....x..x....x"},
                   {Drum::crash, "x..............."}}),
    };
}

std::vector<LoopRecipe> recipes() {
    std::vector<LoopRecipe> all;
    const std::vector<std::vector<Hit>> patterns = grooves();
    const double swings[] = {0.0, 0.0, 0.15, 0.3};
    const double noiseFloors[] = {0.0, -60.0, 0.0, -45.0};
    for (int i = 0; i < 32; ++i) {
        LoopRecipe recipe;
        recipe.tempo = 70.0 + std::fmod(i * 47.0, 111.0);
        recipe.swing = swings[i % 4];
        recipe.channels = i % 2 == 0 ? 1 : 2;
        recipe.noiseFloorDb = noiseFloors[(i / 2) % 4];
        recipe.reverb = i % 3 == 2;
        recipe.peak = i % 11 == 5 ? 1.6 : 0.9;
        recipe.hits = patterns[static_cast<size_t>(i) % patterns.size()];
        char name[96];
        std::snprintf(name, sizeof name, "groove %d, %3.0f bpm, swing %.2f, %s%s%s%s", i % 8 + 1, recipe.tempo,
                      recipe.swing, recipe.channels == 1 ? "mono" : "stereo",
                      recipe.noiseFloorDb != 0.0 ? ", noise" : "", recipe.reverb ? ", reverb" : "",
                      recipe.peak > 1.0 ? ", clipped" : "");
        recipe.name = name;
        all.push_back(recipe);
    }
    return all;
}

struct Score {
    int hits = 0;
    int missed = 0;
    int extra = 0;

    double precision() const { return hits + extra > 0 ? static_cast<double>(hits) / (hits + extra) : 1.0; }
    double recall() const { return hits + missed > 0 ? static_cast<double>(hits) / (hits + missed) : 1.0; }
    double f() const {
        const double p = precision();
        const double r = recall();
        return p + r > 0.0 ? 2.0 * p * r / (p + r) : 0.0;
    }
};

// Each detected onset takes the nearest unmatched true onset within the tolerance. The first slice
// always starts at frame 0 whatever is there, so frame 0 and hits within the tolerance of it are
// left out on both sides.
Score score(const std::vector<uint32_t>& truth, const std::vector<uint32_t>& detected) {
    std::vector<uint32_t> wanted;
    for (const uint32_t onset : truth) {
        if (onset > tolerance) wanted.push_back(onset);
    }
    std::vector<bool> taken(wanted.size(), false);
    Score result;
    for (const uint32_t onset : detected) {
        if (onset <= tolerance) continue;
        size_t best = wanted.size();
        uint32_t bestDistance = tolerance + 1;
        for (size_t k = 0; k < wanted.size(); ++k) {
            const uint32_t distance = onset > wanted[k] ? onset - wanted[k] : wanted[k] - onset;
            if (!taken[k] && distance < bestDistance) {
                best = k;
                bestDistance = distance;
            }
        }
        if (best < wanted.size()) {
            taken[best] = true;
            ++result.hits;
        } else {
            ++result.extra;
        }
    }
    result.missed = static_cast<int>(std::count(taken.begin(), taken.end(), false));
    return result;
}

double millisecondsForTenSeconds(const SoundFile& sound) {
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<uint32_t> onsets = detectOnsets(sound);
        const auto end = std::chrono::steady_clock::now();
        if (onsets.empty()) return 0.0;
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] * (10.0 * rate) / sound.frames();
}

// The true onsets no detection matched and the detections that matched none, in milliseconds.
void listMisses(const std::vector<uint32_t>& truth, const std::vector<uint32_t>& detected) {
    auto near = [](const std::vector<uint32_t>& among, uint32_t onset) {
        return std::any_of(among.begin(), among.end(), [&](uint32_t other) {
            return (onset > other ? onset - other : other - onset) <= tolerance;
        });
    };
    for (const uint32_t onset : truth) {
        if (!near(detected, onset)) std::printf("    missed %.1f ms\n", onset * 1000.0 / rate);
    }
    for (const uint32_t onset : detected) {
        if (!near(truth, onset)) std::printf("    extra  %.1f ms\n", onset * 1000.0 / rate);
    }
}
}  // namespace

// With --misses, each loop's line is followed by what was missed and what was found in excess.
int main(int argc, char** argv) {
    const bool misses = argc > 1 && std::string(argv[1]) == "--misses";
    Score total;
    double fSum = 0.0;
    int loops = 0;
    SoundFile longest;
    std::printf("%-52s %5s %5s %5s %5s %5s %5s\n", "loop", "hits", "found", "extra", "P", "R", "F");
    for (const LoopRecipe& recipe : recipes()) {
        const RenderedLoop loop = render(recipe, 1000u + static_cast<uint32_t>(loops));
        const std::vector<uint32_t> detected = detectOnsets(loop.sound);
        const Score result = score(loop.onsets, detected);
        std::printf("%-52s %5d %5d %5d %5.3f %5.3f %5.3f\n", recipe.name.c_str(), result.hits + result.missed,
                    result.hits, result.extra, result.precision(), result.recall(), result.f());
        if (misses) listMisses(loop.onsets, detected);
        total.hits += result.hits;
        total.missed += result.missed;
        total.extra += result.extra;
        fSum += result.f();
        ++loops;
        if (loop.sound.frames() > longest.frames()) longest = loop.sound;
    }
    std::printf("\n%d loops, %d hits: precision %.3f, recall %.3f, F %.3f (mean F per loop %.3f)\n", loops,
                total.hits + total.missed, total.precision(), total.recall(), total.f(), fSum / loops);
    std::printf("detection time: %.1f ms per 10 s of sound (median of 7 runs on the longest loop)\n",
                millisecondsForTenSeconds(longest));
    return 0;
}
