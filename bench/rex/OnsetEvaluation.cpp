// How well the onset detector (the one `brevatone-rex make --detect` and the plug-in's loading of WAV
// and AIFF loops use) finds hits: synthesised drum loops whose hit times are known, scored as
// precision, recall and F with a detected onset counting as a hit within 10 ms of it. Three sets:
//   tuning     the loops the detector was first tuned on: kicks, snares, ghost notes 20 to 30 dB
//              down, hats, open hats and crashes with long tails, swing, 70 to 180 bpm, mono and
//              stereo, some with a noise floor, a reverb tail or clipping;
//   broad      other material: layered hits, a hall and compression, a bass line under the drums,
//              rolls and flams, loud noise floors with hum and crackle, loops 30 to 42 dB down;
//              the detector was tuned on its first half (even loops) only;
//   held out   the same kinds of material with other grooves, tempos and seeds, never tuned on.
// Prints one line per loop, the totals per set, and the detector's time for ten seconds of sound.
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

// A flam is a quiet grace note 15 to 30 ms before a snare, and a layered hit a kick and a snare a few
// milliseconds apart: each is one hit, starting where its first sound does.
enum class Drum { kick, snare, ghost, closedHat, openHat, crash, tom, flam, layered };

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
    bool hall = false;         // a long, wet reverb rather than the room
    double compression = 1.0;  // the ratio of a fast compressor over the mix; 1 for none
    bool bass = false;         // a bass line under the drums, each note starting with a kick
    double humDb = 0.0;        // mains hum and its harmonics, against full scale; 0 for none
    double crackleDb = 0.0;    // clicks of a worn record, against full scale; 0 for none
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
            case Drum::flam:
            case Drum::layered: break;  // made of two of the others by hitSound
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

// The sound of one hit: a drum, or a flam or a layered hit made of two.
std::vector<double> hitSound(Drum drum, Random& random) {
    if (drum != Drum::flam && drum != Drum::layered) return drumSound(drum, drumGain(drum, random), random);
    const bool flam = drum == Drum::flam;
    const double gain = drumGain(Drum::snare, random);
    const double firstGain = flam ? gain * random.between(0.15, 0.4) : drumGain(Drum::kick, random);
    std::vector<double> sound = drumSound(flam ? Drum::snare : Drum::kick, firstGain, random);
    const auto offset = static_cast<size_t>(rate * (flam ? random.between(0.015, 0.03) : random.between(0.0, 0.004)));
    const std::vector<double> second = drumSound(Drum::snare, gain, random);
    sound.resize(std::max(sound.size(), offset + second.size()), 0.0);
    for (size_t i = 0; i < second.size(); ++i) sound[offset + i] += second[i];
    return sound;
}

// A bass line: from each kick to the next, a low note of four harmonics that swells in over 5 ms
// and fades slowly, as loud as the kicks.
void addBass(std::vector<std::vector<double>>& channels, const std::vector<uint32_t>& kicks, Random& random) {
    const double notes[] = {41.2, 49.0, 55.0, 65.4, 73.4};
    const size_t frames = channels[0].size();
    for (size_t k = 0; k < kicks.size(); ++k) {
        const double frequency = notes[static_cast<size_t>(random.between(0.0, 5.0))];
        const size_t end = k + 1 < kicks.size() ? kicks[k + 1] : frames;
        for (size_t i = kicks[k]; i < end && i < frames; ++i) {
            const double t = static_cast<double>(i - kicks[k]) / rate;
            const double toEnd = static_cast<double>(end - i) / rate;
            double value = 0.0;
            for (int h = 1; h <= 4; ++h) value += std::sin(2.0 * pi * frequency * h * t) / h;
            const double envelope = std::min({1.0, t / 0.005, toEnd / 0.01}) * (0.3 + 0.7 * std::exp(-t / 0.8));
            for (std::vector<double>& channel : channels) channel[i] += 0.5 * envelope * value;
        }
    }
}

// A fast compressor over the mix: 1 ms attack, 100 ms release, 4 to 1 above a tenth of the peak,
// so that tails swell back after each hit.
void compress(std::vector<double>& mix, double ratio) {
    double loudest = 0.0;
    for (const double value : mix) loudest = std::max(loudest, std::abs(value));
    const double threshold = 0.1 * loudest;
    const double attack = std::exp(-1.0 / (0.001 * rate));
    const double release = std::exp(-1.0 / (0.1 * rate));
    double level = 0.0;
    for (double& value : mix) {
        const double magnitude = std::abs(value);
        level = magnitude + (magnitude > level ? attack : release) * (level - magnitude);
        if (level > threshold) value *= std::pow(level / threshold, 1.0 / ratio - 1.0);
    }
}

// A room: eight damped combs in parallel, then four all-passes, mixed in about 12 dB down. A hall
// rings longer and is mixed in 6 dB down.
void addReverb(std::vector<double>& mix, bool hall = false) {
    const size_t roomDelays[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const size_t hallDelays[] = {2205, 2469, 2690, 2999, 3271, 3457, 3613, 3889};
    const size_t* combDelays = hall ? hallDelays : roomDelays;
    const double feedback = hall ? 0.9 : 0.8;
    const size_t allPassDelays[] = {556, 441, 341, 225};
    std::vector<double> wet(mix.size(), 0.0);
    for (size_t comb = 0; comb < 8; ++comb) {
        const size_t delay = combDelays[comb];
        std::vector<double> line(delay, 0.0);
        double damped = 0.0;
        for (size_t i = 0; i < mix.size(); ++i) {
            const double out = line[i % delay];
            damped = 0.6 * out + 0.4 * damped;
            line[i % delay] = mix[i] + feedback * damped;
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
    for (size_t i = 0; i < mix.size(); ++i) mix[i] += (hall ? 0.5 : 0.25) * wet[i];
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
    std::vector<uint32_t> kicks;
    for (const Hit& hit : recipe.hits) {
        const double sixteenth = hit.beat * 4.0;
        const bool offBeat = std::fmod(sixteenth, 2.0) == 1.0;
        const double swung = hit.beat + (offBeat ? recipe.swing / 4.0 : 0.0);
        const double humanised = hit.beat == 0.0 ? 0.0 : random.between(-0.003, 0.003);
        const auto start = static_cast<uint32_t>(std::max(0.0, (swung * secondsPerBeat + humanised) * rate));
        starts.push_back(start);
        if (hit.drum == Drum::kick || hit.drum == Drum::layered) kicks.push_back(start);
        const std::vector<double> sound = hitSound(hit.drum, random);
        const double pan = recipe.channels == 2 ? random.between(0.2, 0.8) : 0.5;
        for (size_t c = 0; c < channels.size(); ++c) {
            const double side = recipe.channels == 2 ? (c == 0 ? 1.0 - pan : pan) * 1.4 : 1.0;
            for (size_t i = 0; i < sound.size() && start + i < frames; ++i) channels[c][start + i] += side * sound[i];
        }
    }
    if (recipe.bass) {
        std::sort(kicks.begin(), kicks.end());
        addBass(channels, kicks, random);
    }
    double loudest = 0.0;
    for (std::vector<double>& channel : channels) {
        if (recipe.reverb) addReverb(channel, recipe.hall);
        if (recipe.compression > 1.0) compress(channel, recipe.compression);
        for (const double value : channel) loudest = std::max(loudest, std::abs(value));
    }
    // Hum and crackle are the same in both channels, as a record's or a cable's would be.
    std::vector<double> disturbance(frames, 0.0);
    if (recipe.humDb != 0.0) {
        const double hum = std::pow(10.0, recipe.humDb / 20.0);
        for (size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            disturbance[i] += hum * (std::sin(2.0 * pi * 50.0 * t) + std::sin(2.0 * pi * 150.0 * t) / 3.0 +
                                     std::sin(2.0 * pi * 250.0 * t) / 5.0);
        }
    }
    if (recipe.crackleDb != 0.0) {
        const double crackle = std::pow(10.0, recipe.crackleDb / 20.0);
        for (size_t i = 0; i + 3 < frames; ++i) {
            if (random.uniform() >= 30.0 / rate) continue;  // some 30 clicks a second
            const double click = crackle * random.between(-1.0, 1.0);
            disturbance[i] += click;
            disturbance[i + 1] -= 0.6 * click;
            disturbance[i + 2] += 0.2 * click;
        }
    }
    const double noise = recipe.noiseFloorDb != 0.0 ? std::pow(10.0, recipe.noiseFloorDb / 20.0) : 0.0;
    RenderedLoop loop;
    loop.sound.channels = recipe.channels;
    loop.sound.sampleRate = rate;
    loop.sound.pcm.resize(frames * channels.size());
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < channels.size(); ++c) {
            const double value =
                (channels[c][i] / loudest * recipe.peak + noise * random.between(-1.7, 1.7) + disturbance[i]) * 32767.0;
            loop.sound.pcm[i * channels.size() + c] =
                static_cast<int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
        }
    }
    // Hits closer than the 50 ms that one slice spans at least are one hit, from the first of them.
    std::sort(starts.begin(), starts.end());
    for (const uint32_t start : starts) {
        if (loop.onsets.empty() || start >= loop.onsets.back() + rate / 20) loop.onsets.push_back(start);
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

// Other grooves for other material: layered hits, flams, rolls, sixteenth hats. Half of them make the
// broad set, the other half the held-out set.
std::vector<std::vector<Hit>> otherGrooves() {
    return {
        groove(2, {{Drum::layered, "x.......x......."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::closedHat, "x.x.x.x.x.x.x.x."}}),
        groove(2, {{Drum::kick, "x.....x...x....."},
                   {Drum::flam, "....x.......x..."},
                   {Drum::closedHat, "..x...x...x...x."}}),
        groove(2, {{Drum::kick, "x..x....x.x....."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::ghost, ".......x......x."},
                   {Drum::openHat, "..x.......x....."}}),
        groove(2, {{Drum::layered, "x.........x....."},
                   {Drum::flam, "....x.......x..."},
                   {Drum::tom, "..............x."},
                   {Drum::closedHat, "x.x.x.x.x.x.x.x."}}),
        groove(2, {{Drum::kick, "x.x.....x......x"},
                   {Drum::snare, "....x.......x..."},
                   {Drum::closedHat, "xxxxxxxxxxxxxxxx"}}),
        groove(
            2,
            {{Drum::layered, "x.......x.x....."}, {Drum::flam, "....x..x....x..."}, {Drum::ghost, "..x.......x....x"}}),
        groove(2, {{Drum::kick, "x......x..x....."},
                   {Drum::snare, "....x.......x..."},
                   {Drum::crash, "x..............."},
                   {Drum::openHat, "......x.......x."}}),
        groove(2, {{Drum::kick, "x...x...x...x..."},
                   {Drum::flam, "....x.......x..."},
                   {Drum::ghost, "..x...x...x...x."},
                   {Drum::tom, "...........x...."}}),
    };
}

// A roll over the loop's last beat, which it has to itself: six snares 70 ms apart, rising from
// ghost notes.
void addRoll(std::vector<Hit>& hits, double tempo) {
    hits.erase(std::remove_if(hits.begin(), hits.end(), [](const Hit& hit) { return hit.beat >= 7.0; }), hits.end());
    for (int i = 0; i < 6; ++i) hits.push_back({7.0 + i * 0.07 * tempo / 60.0, i < 3 ? Drum::ghost : Drum::snare});
}

// Six kinds of material in turn, on grooves, tempos and seeds of the set's own.
std::vector<LoopRecipe> otherRecipes(bool heldOut) {
    const std::vector<std::vector<Hit>> patterns = otherGrooves();
    std::vector<LoopRecipe> all;
    for (int i = 0; i < 24; ++i) {
        LoopRecipe recipe;
        recipe.tempo = 70.0 + std::fmod(heldOut ? i * 71.0 + 29.0 : i * 53.0 + 11.0, 111.0);
        recipe.swing = i % 5 == 3 ? 0.2 : 0.0;
        recipe.channels = i % 2 == 0 ? 2 : 1;
        recipe.noiseFloorDb = 0.0;
        recipe.reverb = false;
        recipe.peak = 0.9;
        recipe.hits = patterns[static_cast<size_t>(i % 4 + (heldOut ? 4 : 0))];
        std::string kind;
        switch (i % 6) {
            case 0: kind = "dry"; break;
            case 1:
                recipe.reverb = recipe.hall = true;
                recipe.compression = 4.0;
                kind = "hall, compressed";
                break;
            case 2:
                recipe.bass = true;
                kind = "bass under the drums";
                break;
            case 3:
                addRoll(recipe.hits, recipe.tempo);
                kind = "with a roll";
                break;
            case 4:
                recipe.noiseFloorDb = -40.0;
                recipe.humDb = -40.0;
                recipe.crackleDb = -35.0;
                kind = "noise, hum, crackle";
                break;
            default:
                recipe.peak = i % 12 == 5 ? 0.03 : 0.008;
                kind = i % 12 == 5 ? "30 dB down" : "42 dB down";
                break;
        }
        char name[96];
        std::snprintf(name, sizeof name, "%s %d, %3.0f bpm, %s, %s", heldOut ? "held" : "broad", i + 1, recipe.tempo,
                      recipe.channels == 1 ? "mono" : "stereo", kind.c_str());
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
struct EvaluationSet {
    const char* name;
    std::vector<LoopRecipe> recipes;
    uint32_t firstSeed;
};

int main(int argc, char** argv) {
    const bool misses = argc > 1 && std::string(argv[1]) == "--misses";
    const EvaluationSet sets[] = {
        {"tuning", recipes(), 1000u}, {"broad", otherRecipes(false), 5000u}, {"held out", otherRecipes(true), 9000u}};
    SoundFile longest;
    std::vector<std::string> summaries;
    for (const EvaluationSet& set : sets) {
        Score total;
        double fSum = 0.0;
        int loops = 0;
        std::printf("%-52s %5s %5s %5s %5s %5s %5s\n", set.name, "hits", "found", "extra", "P", "R", "F");
        for (const LoopRecipe& recipe : set.recipes) {
            const RenderedLoop loop = render(recipe, set.firstSeed + static_cast<uint32_t>(loops));
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
        char summary[160];
        std::snprintf(summary, sizeof summary,
                      "%-8s %d loops, %d hits: precision %.3f, recall %.3f, F %.3f (mean F per loop %.3f)", set.name,
                      loops, total.hits + total.missed, total.precision(), total.recall(), total.f(), fSum / loops);
        summaries.push_back(summary);
        std::printf("\n");
    }
    for (const std::string& summary : summaries) std::printf("%s\n", summary.c_str());
    std::printf("detection time: %.1f ms per 10 s of sound (median of 7 runs on the longest loop)\n",
                millisecondsForTenSeconds(longest));
    return 0;
}
