// Reading a loop of about 10 MB: the plug-in's REX reader against libsndfile reading the same file
// as AIFF, in one run. Both turn the 16-bit samples into floats; time_per_MB is seconds per MiB.
// Beside them, a one-minute stereo 16-bit WAV loop read and cut at its hits, as the plug-in loads it.
#include "LoopFiles.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopReader.h"
#include "loopfile/RexFileWriter.h"
#include "loopfile/RexReader.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int16_t channels = 2;
constexpr uint32_t frames = 10u * 1024u * 1024u / 4u;  // 10 MiB of 16-bit stereo
constexpr uint16_t sliceCount = 64;

// A temporary stereo loop, written once by the project's writer and removed at exit.
class BenchmarkLoop {
public:
    BenchmarkLoop()
        : path((std::filesystem::temp_directory_path() / ("brevatone-bench-" + std::to_string(getpid()) + ".rex"))
                   .string()) {
        RexLoopContent loop;
        loop.channelCount = channels;
        loop.loopLength = 16 * 3840;
        loop.samples.resize(size_t{frames} * channels);
        for (size_t i = 0; i < loop.samples.size(); ++i) {
            loop.samples[i] = 0.8f * static_cast<float>(std::sin(0.001 * static_cast<double>(i)));
        }
        const uint32_t sliceLength = frames / sliceCount * channels;
        for (uint16_t i = 0; i < sliceCount; ++i) {
            loop.slices.push_back({i * sliceLength, sliceLength, static_cast<uint16_t>(i * 960)});
        }
        if (!RexFileWriter::forLoop(loop).write(path)) {
            throw std::runtime_error("cannot write " + path);
        }
        megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    }
    ~BenchmarkLoop() { std::remove(path.c_str()); }
    BenchmarkLoop(const BenchmarkLoop&) = delete;
    BenchmarkLoop& operator=(const BenchmarkLoop&) = delete;

    std::string path;
    double megabytes = 0.0;
};

const BenchmarkLoop& benchmarkLoop() {
    static const BenchmarkLoop loop;
    return loop;
}

void reportPerMegabyte(benchmark::State& state) {
    const double megabytes = benchmarkLoop().megabytes;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * megabytes * 1024 * 1024));
    state.counters["time_per_MB"] =
        benchmark::Counter(megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void rexReader(benchmark::State& state) {
    const std::string& path = benchmarkLoop().path;
    for (auto _ : state) {
        InputFile file(path.c_str());
        RexReader reader(file);
        reader.parse();
        if (reader.failed() || reader.sampleCount() != static_cast<int32_t>(frames * channels)) {
            state.SkipWithError("the loop did not read back");
            break;
        }
        benchmark::DoNotOptimize(reader.samples());
    }
    reportPerMegabyte(state);
}

void libsndfileAiff(benchmark::State& state) {
    const std::string& path = benchmarkLoop().path;
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        if (file == nullptr) {
            state.SkipWithError(sf_strerror(nullptr));
            break;
        }
        std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
        const sf_count_t read = sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        if (read != frames) {
            state.SkipWithError("libsndfile did not read every frame");
            break;
        }
        benchmark::DoNotOptimize(samples.data());
    }
    reportPerMegabyte(state);
}

// Hits every 125 ms, 480 of them: detection runs over the whole minute, and 92 slices are kept.
class BenchmarkWave {
public:
    BenchmarkWave()
        : path((std::filesystem::temp_directory_path() / ("brevatone-bench-" + std::to_string(getpid()) + ".wav"))
                   .string()) {
        WaveFile wave;
        wave.channels = 2;
        wave.samples = drumHitSamples(60 * 44100, evenHits(480, 5512), 2);
        const std::vector<uint8_t> bytes = wave.bytes();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            throw std::runtime_error("cannot write " + path);
        }
        std::fclose(file);
    }
    ~BenchmarkWave() { std::remove(path.c_str()); }
    BenchmarkWave(const BenchmarkWave&) = delete;
    BenchmarkWave& operator=(const BenchmarkWave&) = delete;

    std::string path;
};

void audioLoopOfOneMinute(benchmark::State& state) {
    static const BenchmarkWave wave;
    for (auto _ : state) {
        InputFile file(wave.path.c_str());
        LoopReader reader(file);
        reader.parse();
        if (reader.failed() || reader.sliceCount() != LoopReader::mostSlices) {
            state.SkipWithError("the loop was not cut into 92 slices");
            break;
        }
        benchmark::DoNotOptimize(reader.sliceSamples(0));
    }
}

BENCHMARK(audioLoopOfOneMinute)->Unit(benchmark::kMillisecond);
BENCHMARK(rexReader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(libsndfileAiff)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
