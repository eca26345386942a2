// Real-time factor of brevatone-render: seconds of audio per second of CPU, for the demo's groove
// (eight half-second slices, one per beat, 2 bars at 120 bpm) repeated to 10 minutes and written
// to a 32-bit float WAV file (or a 24-bit one), through the whole tool: MIDI parsing, the plug-in, the writer.
#include "RenderCommand.h"
#include "loopfile/RexFileWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t hits = 8;
constexpr std::uint32_t framesPerHit = 22050;
constexpr std::uint32_t repeats = 150;  // 150 x 4 s = 10 minutes
constexpr double audioSeconds = repeats * hits * 0.5;

// What costs is the groove, one voice sounding at every moment, not what the hits sound like:
// decaying noise stands in for the demo's synthesised drums.
RexLoopContent demoLoop() {
    std::vector<float> samples;
    std::vector<std::uint32_t> starts;
    std::vector<std::uint16_t> positions;
    std::uint32_t seed = 1;
    for (std::uint32_t i = 0; i < hits; ++i) {
        starts.push_back(i * framesPerHit);
        positions.push_back(static_cast<std::uint16_t>(i * 960));
        for (std::uint32_t j = 0; j < framesPerHit; ++j) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
            samples.push_back(std::round(noise * std::exp(-static_cast<float>(j) / 3000.0f) * 32768.0f) / 32768.0f);
        }
    }
    return RexFileWriter::monoLoop(samples, starts, positions, 120.0, hits * 960);
}

void run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    if (RenderCommand::run(args, {out, err, false}) != 0) throw std::runtime_error(err.str());
}

class Workspace {
public:
    Workspace() : root(std::filesystem::temp_directory_path() / "brevatone-render-bench") {
        std::filesystem::create_directories(root);
        RexFileWriter::forLoop(demoLoop()).write(file("demo.rex"));
        run({"--loop", file("demo.rex"), "--export-groove", file("demo-groove.mid")});
    }
    ~Workspace() { std::filesystem::remove_all(root); }
    std::string file(const std::string& name) const { return (root / name).string(); }

private:
    std::filesystem::path root;
};

void renderTenMinutes(benchmark::State& state, std::vector<std::string> settings) {
    const Workspace workspace;
    std::vector<std::string> args = {
        "--loop",   workspace.file("demo.rex"), "--midi",  workspace.file("demo-groove.mid"),
        "--repeat", std::to_string(repeats),    "--tail",  "0",
        "--output", workspace.file("demo.wav"), "--param", "Amp Sus=1"};
    args.insert(args.end(), settings.begin(), settings.end());
    for (auto _ : state) run(args);
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK_CAPTURE(renderTenMinutes, demo_groove, std::vector<std::string>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(renderTenMinutes, demo_groove_24_bit, std::vector<std::string>{"--format", "24"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(renderTenMinutes, demo_groove_filter_with_synced_lfo,
                  std::vector<std::string>{"--param", "Flt On=1", "--param", "Flt Freq=0.7", "--param", "LFO Amt=0.3",
                                           "--param", "LFO Sync On=1", "--param", "LFO Sync Mode=0.6"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
