// Cost of the engine per output frame, against its floor: the voices' own work with nothing else,
// eight streams each scaled by a level and a straight-line envelope and added into one buffer, four
// frames at a time in the vector types the voices use. And the engine's cost per second of output
// at 48 kHz against 44.1 kHz, where its slices have been converted to the rate.
#include "engine/DenormalFlush.h"
#include "engine/EngineConstants.h"
#include "engine/SliceEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int voices = 8;
constexpr uint32_t sliceFrames = 22050;  // half a second, a long slice for a loop

std::vector<float> noise(uint32_t length, uint32_t seed) {
    std::vector<float> values(length);
    for (float& value : values) {
        seed = seed * 1664525u + 1013904223u;
        value = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    }
    return values;
}

void countFrames(benchmark::State& state, int64_t framesPerIteration, double sampleRate = engineSampleRate) {
    state.counters["time_per_frame"] =
        benchmark::Counter(static_cast<double>(framesPerIteration),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["time_per_second"] =
        benchmark::Counter(static_cast<double>(framesPerIteration) / sampleRate,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void send(SliceEngine& engine, const std::vector<EngineEvent>& events) {
    EngineEvent** list = engine.allocateEventList(static_cast<uint32_t>(events.size()));
    for (size_t i = 0; i < events.size(); ++i) {
        list[i] = engine.allocateEvent();
        *list[i] = events[i];
    }
    engine.handleEvents(list, static_cast<uint32_t>(events.size()));
}

void playAllNotes(SliceEngine& engine) {
    std::vector<EngineEvent> notes;
    for (int i = 0; i < voices; ++i) {
        notes.push_back(EngineEvent{0x90, static_cast<uint8_t>(firstSliceNote + i), 100, 0.0});
    }
    send(engine, notes);
}

void loadNoiseSlices(SliceEngine& engine, uint32_t frames) {
    for (int i = 0; i < voices; ++i) {
        auto* slice = new Slice(noise(frames, 17u + static_cast<uint32_t>(i)).data(), frames, engineSampleRate, 16, 1);
        slice->setNote(static_cast<uint16_t>(firstSliceNote + i));
        engine.addSlice(slice);
    }
}

// Arguments: block size, filter on with its LFO moving, pitch bent (so positions step by a fraction),
// and the sample rate, at which the half-second slices have as many more frames as at 44.1 kHz.
void engineRender(benchmark::State& state) {
    const auto frames = static_cast<int32_t>(state.range(0));
    const auto rate = static_cast<double>(state.range(3));
    const ScopedDenormalFlush flush;
    SliceEngine engine;
    engine.setSampleRate(rate);
    loadNoiseSlices(engine, static_cast<uint32_t>(sliceFrames * rate / engineSampleRate));
    engine.setAttack(0.01f);
    engine.setDecay(0.3f);
    engine.setSustain(0.6f);
    engine.setRelease(0.2f);
    engine.setFilterOn(state.range(1) != 0);
    ResonantFilter& filter = engine.filter();
    filter.setFrequency(0.6f);
    filter.setResonance(0.3f);
    filter.setLfoRate(50);
    filter.setLfoAmount(0.4f);
    if (state.range(2) != 0) {
        send(engine, {EngineEvent{0xE0, 0, 72, 0.0}});
    }
    std::vector<float> block(static_cast<size_t>(frames));
    float* outputs[] = {block.data(), block.data()};
    for (auto _ : state) {
        if (!engine.voice(voices - 1).isActive()) {
            playAllNotes(engine);
        }
        std::fill(block.begin(), block.end(), 0.0f);
        engine.render(outputs, frames);
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    countFrames(state, frames, rate);
}

typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t FrameNumbers __attribute__((vector_size(16)));

// What every voice must do per frame, at least: read its sample, scale it by its level and its
// envelope's gain there, and add it into the block. Four frames at a time in the vector types the
// voices use, all eight voices summed in registers before the block is stored once: no voice can
// do less, and no mixer of eight can store less.
void mixFloor(benchmark::State& state) {
    const auto frames = static_cast<uint32_t>(state.range(0));
    std::array<std::vector<float>, voices> streams;
    std::array<float, voices> levels{};
    std::array<float, voices> slopes{};
    for (int k = 0; k < voices; ++k) {
        streams[static_cast<size_t>(k)] = noise(sliceFrames, 17u + static_cast<uint32_t>(k));
        levels[static_cast<size_t>(k)] = 0.1f * static_cast<float>(k + 1);
        slopes[static_cast<size_t>(k)] = -1e-6f * static_cast<float>(k + 1);
    }
    constexpr float start = 0.9f;
    std::vector<float> block(frames);
    uint32_t offset = 0;
    for (auto _ : state) {
        if (offset + frames > sliceFrames) {
            offset = 0;
        }
        std::fill(block.begin(), block.end(), 0.0f);
        float* out = block.data();
        for (uint32_t i = 0; i + 4 <= frames; i += 4) {
            const Lanes numbers = __builtin_convertvector(static_cast<int32_t>(i) + FrameNumbers{0, 1, 2, 3}, Lanes);
            Lanes mix;
            std::memcpy(&mix, out + i, sizeof mix);
            for (size_t k = 0; k < voices; ++k) {
                Lanes samples;
                std::memcpy(&samples, streams[k].data() + offset + i, sizeof samples);
                mix += levels[k] * samples * (start + slopes[k] * numbers);
            }
            std::memcpy(out + i, &mix, sizeof mix);
        }
        offset += frames;
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    countFrames(state, frames);
}

// A short note through a low, highly resonant filter, then ten seconds of its tail dying away.
// Argument: whether denormals are flushed, as the instrument does in its audio calls.
void filterRingOut(benchmark::State& state) {
    constexpr int32_t frames = 4096;
    constexpr int blocks = 108;
    std::unique_ptr<ScopedDenormalFlush> flush;
    if (state.range(0) != 0) {
        flush = std::make_unique<ScopedDenormalFlush>();
    }
    SliceEngine engine;
    engine.addSlice(new Slice(noise(64, 5).data(), 64, engineSampleRate, 16, 1));
    engine.setFilterOn(true);
    engine.filter().setFrequency(0.0f);
    engine.filter().setResonance(0.5f);
    std::vector<float> block(frames);
    float* outputs[] = {block.data(), block.data()};
    for (auto _ : state) {
        send(engine, {EngineEvent{0x90, 60, 127, 0.0}});
        for (int b = 0; b < blocks; ++b) {
            std::fill(block.begin(), block.end(), 0.0f);
            engine.render(outputs, frames);
            benchmark::DoNotOptimize(block.data());
        }
    }
    countFrames(state, int64_t{frames} * blocks);
}

}  // namespace

BENCHMARK(engineRender)
    ->ArgNames({"frames", "filter", "bent", "rate"})
    ->ArgsProduct({{64, 512, 4096}, {0, 1}, {0}, {44100}})
    ->Args({512, 0, 1, 44100})
    ->Args({512, 1, 1, 44100})
    ->Args({512, 0, 0, 48000})
    ->Args({512, 1, 0, 48000});
BENCHMARK(mixFloor)->ArgName("frames")->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(filterRingOut)->ArgName("flush")->Arg(1)->Arg(0);

BENCHMARK_MAIN();
