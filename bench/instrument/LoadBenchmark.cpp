// A 2.4 MB loop whose 32767 slices each cover all of its samples: loading it once copied every slice
// and took seconds and a gigabyte. It must now be answered (loaded or refused) within 50 ms.
// Beside it, the largest loop a loader takes, which the panel loads at an editor idle.
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/RexFileWriter.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

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

void loadLoopAtTheLimit(benchmark::State& state) {
    static const TemporaryLoop file("at-the-limit", loopAtTheLimit());
    load(state, file);
}
BENCHMARK(loadLoopAtTheLimit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
