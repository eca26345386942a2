// One 512-frame block with a note change, through the LV2 wrapper's run (atoms in, controls
// compared) and through the VST 2 entry points the same instrument answers. The two should cost
// within a few per cent of each other: the wrapper adds only reading the atoms.
#include "EventList.h"
#include "instrument/Instrument.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"
#include "lv2/PortScales.h"
#include "platform/PlatformServices.h"

#include "loopfile/RexFileWriter.h"

#include <benchmark/benchmark.h>
#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t frames = 512;
constexpr int patterns = 8;

class BenchLoop {
public:
    BenchLoop()
        : path((std::filesystem::temp_directory_path() / ("brevatone-lv2-bench-" + std::to_string(getpid()) + ".rex"))
                   .string()) {
        std::vector<float> samples(8 * 8192);
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * std::sin(static_cast<float>(i) * 0.05f);
        std::vector<std::uint32_t> starts;
        std::vector<std::uint16_t> positions;
        for (std::uint32_t i = 0; i < 8; ++i) {
            starts.push_back(i * 8192);
            positions.push_back(static_cast<std::uint16_t>(i * 240));
        }
        RexFileWriter::forLoop(RexFileWriter::monoLoop(samples, starts, positions, 120.0, 8 * 240)).write(path);
    }
    ~BenchLoop() { std::filesystem::remove(path); }

    const std::string path;
};

const BenchLoop& loop() {
    static const BenchLoop shared;
    return shared;
}

// Note on for pattern p's slice, note off for the one before.
std::array<std::array<std::uint8_t, 3>, 2> notesOf(int pattern) {
    return {{{0x90, static_cast<std::uint8_t>(36 + pattern), 100},
             {0x80, static_cast<std::uint8_t>(36 + (pattern + patterns - 1) % patterns), 0}}};
}

// The stored values both paths play with: the filter on, its LFO moving.
constexpr std::array<float, Lv2Instrument::parameterPorts> settings = {0.5f, 0.01f, 0.5f, 0.7f, 0.1f, 0.5f, 0.3f,
                                                                       0.0f, 1.0f,  0.4f, 0.6f, 0.0f, 0.0f};

struct UridMap {
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map feature{this, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                             auto& map = static_cast<UridMap*>(handle)->ids;
                             return map.emplace(uri, static_cast<LV2_URID>(map.size() + 1)).first->second;
                         }};
};

const void* retrieveLoop(LV2_State_Handle handle, std::uint32_t, std::size_t* size, std::uint32_t* type,
                         std::uint32_t* flags) {
    const auto& map = *static_cast<UridMap*>(handle);
    *size = loop().path.size() + 1;
    *type = map.ids.at(LV2_ATOM__Path);
    *flags = 0;
    return loop().path.c_str();
}

void lv2Run(benchmark::State& state) {
    UridMap map;
    const LV2_Feature mapFeature = {LV2_URID__map, &map.feature};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    auto plugin = Lv2Instrument::create(44100.0, features);
    const LV2_Feature* none[] = {nullptr};
    plugin->restore(retrieveLoop, &map, none);

    std::vector<std::vector<std::uint64_t>> sequences(patterns, std::vector<std::uint64_t>(64));
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map.feature);
    for (int p = 0; p < patterns; ++p) {
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(sequences[p].data()), 64 * 8);
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        for (const auto& note : notesOf(p)) {
            lv2_atom_forge_frame_time(&forge, 7);
            lv2_atom_forge_atom(&forge, 3, map.feature.map(map.feature.handle, LV2_MIDI__MidiEvent));
            lv2_atom_forge_write(&forge, note.data(), 3);
        }
        lv2_atom_forge_pop(&forge, &frame);
    }
    // The ports show the same settings in their units.
    std::array<float, Lv2Instrument::parameterPorts> controls{};
    for (std::uint32_t slot = 0; slot < controls.size(); ++slot) {
        controls[slot] = PortScales::shown(slot, settings[slot]);
        plugin->connectPort(Lv2Identity::firstParameterPort + slot, &controls[slot]);
    }
    std::vector<float> left(frames), right(frames);
    plugin->connectPort(Lv2Identity::leftOutPort, left.data());
    plugin->connectPort(Lv2Identity::rightOutPort, right.data());
    plugin->activate();
    int pattern = 0;
    for (auto _ : state) {
        plugin->connectPort(Lv2Identity::controlPort, sequences[static_cast<std::size_t>(pattern)].data());
        plugin->run(frames);
        benchmark::DoNotOptimize(left.data());
        pattern = (pattern + 1) % patterns;
    }
}
BENCHMARK(lv2Run);

VstIntPtr VSTCALL silentHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void vstProcessReplacing(benchmark::State& state) {
    Instrument instrument(silentHost, systemPlatformServices());
    AEffect* effect = instrument.effect();
    ProgramRecord record{};
    loop().path.copy(record.path, sizeof record.path - 1);
    std::copy(settings.begin(), settings.end(), record.values);
    effect->dispatcher(effect, effSetChunk, 1, sizeof record, &record, 0.0f);

    std::vector<std::vector<VstMidiEvent>> notes(patterns);
    std::vector<EventList> lists(patterns);
    std::vector<VstEvents*> events;
    for (int p = 0; p < patterns; ++p) {
        for (const auto& note : notesOf(p))
            notes[static_cast<std::size_t>(p)].push_back(EventList::midiEvent(7, note[0], note[1], note[2]));
        events.push_back(lists[static_cast<std::size_t>(p)].of(notes[static_cast<std::size_t>(p)]));
    }
    std::vector<float> left(frames), right(frames);
    float* outputs[2] = {left.data(), right.data()};
    int pattern = 0;
    for (auto _ : state) {
        effect->dispatcher(effect, effProcessEvents, 0, 0, events[static_cast<std::size_t>(pattern)], 0.0f);
        effect->processReplacing(effect, nullptr, outputs, frames);
        benchmark::DoNotOptimize(left.data());
        pattern = (pattern + 1) % patterns;
    }
}
BENCHMARK(vstProcessReplacing);

}  // namespace

BENCHMARK_MAIN();
