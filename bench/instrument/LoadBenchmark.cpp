// A 2.4 MB loop whose 32767 slices each cover all of its samples: loading it once copied every slice
// and took seconds and a gigabyte. It must now be answered (loaded or refused) within 50 ms.
// Beside it, the largest loop a loader takes, which a chooser's answer loads on a thread of its own,
// and the cost of a large loop's load at the host's rate against the loop's own.
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/RexFileWriter.h"
#include "platform/PlatformServices.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

constexpr uint32_t sampleCount = 1200000;  // 2.4 MB of 16-bit samples
constexpr uint16_t sliceCount = 32767;

VstIntPtr VSTCALL silentHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

class TemporaryLoop {
public:
    TemporaryLoop(const std::string& name, const RexLoopContent& loop)
        : path(
              (std::filesystem::temp_directory_path() / ("brevatone-" + name + "-" + std::to_string(getpid()) + ".rex"))
                  .string()) {
        RexFileWriter::forLoop(loop).write(path);
    }
    ~TemporaryLoop() { std::filesystem::remove(path); }

    const std::string path;
};

RexLoopContent amplifyingLoop() {
    RexLoopContent loop;
    loop.samples.assign(sampleCount, 0.25f);
    loop.slices.assign(sliceCount, SliceInfo{0, sampleCount, 0});
    return loop;
}

// 128 MiB of 16-bit stereo sound in 92 slices, one for every note.
RexLoopContent loopAtTheLimit() {
    RexLoopContent loop;
    loop.channelCount = 2;
    loop.samples.assign(maximumLoopSamples, 0.25f);
    const auto length = static_cast<uint32_t>(maximumLoopSamples / 92 / 2 * 2);
    for (uint32_t i = 0; i < 92; ++i) loop.slices.push_back({i * length, length, static_cast<uint16_t>(i * 40)});
    return loop;
}

void load(benchmark::State& state, const TemporaryLoop& file) {
    Instrument instrument(silentHost);
    for (auto _ : state) {
        InputFile input(file.path.c_str());
        benchmark::DoNotOptimize(instrument.loadLoop(input));
    }
}

void loadAmplifyingLoop(benchmark::State& state) {
    static const TemporaryLoop file("amplifying", amplifyingLoop());
    load(state, file);
}
BENCHMARK(loadAmplifyingLoop)->Unit(benchmark::kMillisecond);

// A 10 MiB stereo 16-bit loop in 64 slices, loaded by an instrument that follows the host's rate:
// read, cut into slices and, at another rate than the loop's, converted. Argument: the rate.
class LargeLoop {
public:
    LargeLoop()
        : path((std::filesystem::temp_directory_path() / ("brevatone-large-" + std::to_string(getpid()) + ".rex"))
                   .string()) {
        constexpr uint32_t frames = 10u * 1024u * 1024u / 4u;
        constexpr uint32_t slices = 64;
        RexLoopContent loop;
        loop.channelCount = 2;
        loop.loopLength = 16 * 3840;
        loop.samples.resize(size_t{frames} * 2);
        for (size_t i = 0; i < loop.samples.size(); ++i) {
            loop.samples[i] = 0.8f * static_cast<float>(std::sin(0.001 * static_cast<double>(i)));
        }
        const uint32_t sliceLength = frames / slices * 2;
        for (uint16_t i = 0; i < slices; ++i) loop.slices.push_back({i * sliceLength, sliceLength, 0});
        RexFileWriter::forLoop(loop).write(path);
    }
    ~LargeLoop() { std::filesystem::remove(path); }

    const std::string path;
};

void loadLargeLoop(benchmark::State& state) {
    static const LargeLoop file;
    Instrument instrument(silentHost, systemPlatformServices(), nullptr, systemRateConversion());
    instrument.setSampleRate(static_cast<float>(state.range(0)));
    for (auto _ : state) {
        InputFile input(file.path.c_str());
        benchmark::DoNotOptimize(instrument.loadLoop(input));
    }
}
BENCHMARK(loadLargeLoop)->ArgName("rate")->Arg(44100)->Arg(48000)->Arg(96000)->Unit(benchmark::kMillisecond);

void loadLoopAtTheLimit(benchmark::State& state) {
    static const TemporaryLoop file("at-the-limit", loopAtTheLimit());
    load(state, file);
}
BENCHMARK(loadLoopAtTheLimit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
