// A 2.4 MB loop whose 32767 slices each cover all of its samples: loading it once copied every slice
// and took seconds and a gigabyte. It must now be answered (loaded or refused) within 50 ms.
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
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

class AmplifyingLoop {
public:
    AmplifyingLoop()
        : path((std::filesystem::temp_directory_path() / ("brevatone-amplifying-" + std::to_string(getpid()) + ".rex"))
                   .string()) {
        RexLoopContent loop;
        loop.samples.assign(sampleCount, 0.25f);
        loop.slices.assign(sliceCount, SliceInfo{0, sampleCount, 0});
        RexFileWriter::forLoop(loop).write(path);
    }
    ~AmplifyingLoop() { std::filesystem::remove(path); }

    const std::string path;
};

void loadAmplifyingLoop(benchmark::State& state) {
    static const AmplifyingLoop file;
    Instrument instrument(silentHost);
    for (auto _ : state) {
        InputFile input(file.path.c_str());
        benchmark::DoNotOptimize(instrument.loadLoop(input));
    }
}
BENCHMARK(loadAmplifyingLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
