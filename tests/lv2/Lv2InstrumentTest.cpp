// The LV2 plug-in as lilv finds and describes it, and its sound against the VST 2 library's.
#include "Lv2TestHost.h"
#include "PluginHost.h"
#include "PluginLibrary.h"
#include "VariedLoop.h"
#include "engine/SliceEngine.h"
#include "instrument/Instrument.h"
#include "instrument/ParameterTable.h"
#include "instrument/ProgramRecord.h"
#include "lv2/Lv2Identity.h"
#include "lv2/PortScales.h"
#include "shared/ParameterNumber.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool ask(const char* subject, const char* predicate, const char* object) {
    LilvWorld* world = Lv2TestHost::world();
    LilvNode* s = lilv_new_uri(world, subject);
    LilvNode* p = lilv_new_uri(world, predicate);
    LilvNode* o = lilv_new_uri(world, object);
    const bool found = lilv_world_ask(world, s, p, o);
    lilv_node_free(s);
    lilv_node_free(p);
    lilv_node_free(o);
    return found;
}

// Sets the program's values (as the instrument stores them) through the ports, and the loop, which
// loads in one block of 32 frames and is announced in the next; answers whether it was.
bool loadWithValues(Lv2TestHost& lv2, const std::string& loop, const float* values) {
    for (std::uint32_t slot = 0; slot < ProgramRecord::valueCount; ++slot) {
        lv2.control(ParameterTable::appliedOrder[slot], PortScales::shown(slot, values[slot]));
    }
    lv2.setLoop(loop);
    lv2.run(32);
    lv2.run(32);
    return lv2.announcedLoop == loop;
}

// A host log that keeps each line's format.
int keepFormat(LV2_Log_Handle handle, LV2_URID, const char* format, ...) {
    *static_cast<std::string*>(handle) += format;
    return 0;
}

}  // namespace

TEST(Lv2Bundle, IsFoundByUriWithItsPortsAndTheLoopAsAFileProperty) {
    const LilvPlugin* plugin = Lv2TestHost::plugin();
    ASSERT_NE(plugin, nullptr);
    LilvWorld* world = Lv2TestHost::world();
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), 4u + ProgramRecord::valueCount);

    LilvNode* input = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    LilvNode* output = lilv_new_uri(world, LILV_URI_OUTPUT_PORT);
    LilvNode* audio = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
    LilvNode* controlType = lilv_new_uri(world, LILV_URI_CONTROL_PORT);
    LilvNode* atomPort = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* midiEvent = lilv_new_uri(world, LV2_MIDI__MidiEvent);
    LilvNode* position = lilv_new_uri(world, LV2_TIME__Position);

    const LilvPort* events = lilv_plugin_get_port_by_index(plugin, Lv2Identity::controlPort);
    EXPECT_TRUE(lilv_port_is_a(plugin, events, input) && lilv_port_is_a(plugin, events, atomPort));
    EXPECT_TRUE(lilv_port_supports_event(plugin, events, midiEvent));
    EXPECT_TRUE(lilv_port_supports_event(plugin, events, position));
    const LilvPort* notify = lilv_plugin_get_port_by_index(plugin, Lv2Identity::notifyPort);
    EXPECT_TRUE(lilv_port_is_a(plugin, notify, output) && lilv_port_is_a(plugin, notify, atomPort));
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, output, audio, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, input, audio, nullptr), 0u);

    // Sessions store port values by these symbols.
    const char* const symbols[ProgramRecord::valueCount] = {
        "pitch",    "amp_atk", "amp_dcy",  "amp_sus", "amp_rls",     "flt_freq",     "flt_q",
        "flt_mode", "flt_on",  "lfo_freq", "lfo_amt", "lfo_sync_on", "lfo_sync_mode"};
    LilvNode* toggled = lilv_new_uri(world, LV2_CORE__toggled);
    LilvNode* enumeration = lilv_new_uri(world, LV2_CORE__enumeration);
    ProgramRecord defaults;
    ParameterTable::fillDefaults(defaults);
    for (std::uint32_t slot = 0; slot < ProgramRecord::valueCount; ++slot) {
        const std::int32_t parameter = ParameterTable::appliedOrder[slot];
        const PortScales::PortScale& scale = PortScales::of(slot);
        SCOPED_TRACE(parameter);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, Lv2Identity::firstParameterPort + slot);
        ASSERT_TRUE(lilv_port_is_a(plugin, port, controlType) && lilv_port_is_a(plugin, port, input));
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), symbols[slot]);
        LilvNode* name = lilv_port_get_name(plugin, port);
        EXPECT_EQ(lilv_node_as_string(name), trimmed(ParameterTable::nameOf(parameter)));
        lilv_node_free(name);
        EXPECT_EQ(lilv_port_has_property(plugin, port, toggled), scale.kind == PortScales::Kind::toggle);
        EXPECT_EQ(lilv_port_has_property(plugin, port, enumeration), scale.kind == PortScales::Kind::choice);
        LilvNode *low = nullptr, *high = nullptr, *start = nullptr;
        lilv_port_get_range(plugin, port, &start, &low, &high);
        ASSERT_TRUE(low && high && start);
        EXPECT_EQ(lilv_node_as_float(low), scale.minimum);
        EXPECT_EQ(lilv_node_as_float(high), scale.maximum);
        // The stated default is the instrument's own, to the bit, once the plug-in converts it.
        EXPECT_EQ(PortScales::stored(slot, lilv_node_as_float(start)), defaults.values[slot]);
        lilv_node_free(low);
        lilv_node_free(high);
        lilv_node_free(start);
    }
    lilv_node_free(toggled);
    lilv_node_free(enumeration);
    for (LilvNode* node : {input, output, audio, controlType, atomPort, midiEvent, position}) lilv_node_free(node);

    EXPECT_TRUE(ask(Lv2Identity::pluginUri, LV2_PATCH__writable, Lv2Identity::loopPropertyUri));
    EXPECT_TRUE(ask(Lv2Identity::loopPropertyUri, "http://www.w3.org/2000/01/rdf-schema#range", LV2_ATOM__Path));
}

TEST(Lv2Bundle, RefusesToStartWithoutTheUridMapAndSaysSoInTheHostsLog) {
    const LilvPlugin* plugin = Lv2TestHost::plugin();
    ASSERT_NE(plugin, nullptr);
    std::string logged;
    LV2_Log_Log log{&logged, keepFormat, nullptr};
    const LV2_Feature logFeature = {LV2_LOG__log, &log};
    const LV2_Feature* onlyLog[] = {&logFeature, nullptr};
    const LV2_Feature* none[] = {nullptr};
    for (const LV2_Feature* const* features : {onlyLog, none, static_cast<const LV2_Feature**>(nullptr)}) {
        EXPECT_EQ(lilv_plugin_instantiate(plugin, 44100.0, features), nullptr);
    }
    // The host's printf takes the text as its format; the line's own text follows it.
    EXPECT_NE(logged.find("Brevatone: %s"), std::string::npos);
}

// Port values in their units reach the engine as the units say.
TEST(Lv2Bundle, PortUnitsAreWhatTheEngineMakesOfThem) {
    Instrument instrument([](AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) -> VstIntPtr {
        return opcode == audioMasterVersion ? 2400 : 0;
    });
    const SliceEngine& engine = instrument.soundEngine();
    struct Case {
        std::int32_t parameter;
        float portValue;
        std::function<double()> reading;
        double expected;
    };
    const auto stored = [&](std::int32_t parameter) { return static_cast<double>(instrument.getParameter(parameter)); };
    const auto lfoHertz = [&] { return engine.filter().lfoRate() / 80.0; };
    const std::vector<Case> cases = {
        {Parameter::ampAttack, 0.25f, [&] { return engine.attackTime(); }, 0.25},
        {Parameter::ampDecay, 0.5f, [&] { return engine.decayTime(); }, 0.5},
        {Parameter::ampSustain, 40.0f, [&] { return engine.sustainLevel(); }, 0.4},
        {Parameter::ampRelease, 0.75f, [&] { return engine.releaseTime(); }, 0.75},
        {Parameter::filterFrequency, 41.0f, [&] { return engine.filter().cutoff(); }, 41.0},
        {Parameter::filterFrequency, 1000.0f, [&] { return engine.filter().cutoff(); }, 1000.0},
        {Parameter::filterFrequency, 13000.0f, [&] { return engine.filter().cutoff(); }, 13000.0},
        {Parameter::filterFrequency, 20000.0f, [&] { return engine.filter().cutoff(); }, 13000.0},
        {Parameter::filterResonance, 1.0f, [&] { return engine.filter().resonance(); }, 1.0},
        {Parameter::filterResonance, 10.0f, [&] { return engine.filter().resonance(); }, 10.0},
        {Parameter::filterResonance, 100.0f, [&] { return engine.filter().resonance(); }, 100.0},
        {Parameter::filterMode, 1.0f, [&] { return engine.filter().mode(); }, ResonantFilter::highPass},
        {Parameter::filterMode, 0.0f, [&] { return engine.filter().mode(); }, ResonantFilter::lowPass},
        {Parameter::filterOn, 1.0f, [&] { return engine.isFilterOn(); }, 1.0},
        {Parameter::filterOn, 0.0f, [&] { return engine.isFilterOn(); }, 0.0},
        {Parameter::lfoFrequency, 0.0125f, lfoHertz, 0.0125},
        {Parameter::lfoFrequency, 0.3f, lfoHertz, 0.3},
        {Parameter::lfoFrequency, 1.25f, lfoHertz, 1.25},
        {Parameter::lfoAmount, 35.0f, [&] { return engine.filter().lfoAmount(); }, 0.35},
        // Sync follows the tempo only for a stored 1.0, and each named step is one stored value.
        {Parameter::lfoSyncOn, 1.0f, [&] { return stored(Parameter::lfoSyncOn); }, 1.0},
    };
    std::vector<Case> all = cases;
    for (int step = 0; step < Parameter::syncModeStepCount; ++step) {
        all.push_back({Parameter::lfoSyncMode, static_cast<float>(step), [&] { return stored(Parameter::lfoSyncMode); },
                       static_cast<double>(Parameter::syncModeSteps[step])});
    }
    float left[16], right[16];
    float* outputs[2] = {left, right};
    for (const Case& row : all) {
        SCOPED_TRACE(testing::Message() << row.parameter << " at " << row.portValue);
        const auto slot = static_cast<std::uint32_t>(ParameterTable::slotOf(row.parameter));
        instrument.setParameter(row.parameter, PortScales::stored(slot, row.portValue));
        instrument.processReplacing(nullptr, outputs, 16);
        EXPECT_NEAR(row.reading(), row.expected, std::fabs(row.expected) * 1e-5 + 1e-9);
    }
}

// The same loop, values, notes and transport through both libraries, block by block.
TEST(Lv2Sound, MatchesTheVst2LibraryWithTempoSyncOffAndOn) {
    TempDir dir;
    const std::string loop = writeVariedLoop(dir, "varied.rex");
    const PluginLibrary library(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
    ASSERT_TRUE(library.loaded()) << library.error();

    for (const float syncOn : {0.0f, 1.0f}) {
        SCOPED_TRACE(syncOn);
        // Pitch, attack, decay, sustain, release, filter frequency, resonance, mode, on, LFO rate and
        // amount, sync on and sync mode, in the ports' units: a filtered sound whose LFO moves.
        const float ports[ProgramRecord::valueCount] = {0.5f, 0.01f, 0.4f,  60.0f, 0.05f,  1500.0f, 3.0f,
                                                        0.0f, 1.0f,  0.45f, 80.0f, syncOn, 3.0f};
        float values[ProgramRecord::valueCount];
        for (std::uint32_t slot = 0; slot < ProgramRecord::valueCount; ++slot) {
            values[slot] = PortScales::stored(slot, ports[slot]);
        }
        PluginHost vst(library);
        ASSERT_NE(vst.open(), nullptr);
        ProgramRecord record{};
        std::strncpy(record.path, loop.c_str(), sizeof record.path - 1);
        std::memcpy(record.values, values, sizeof values);
        ASSERT_EQ(vst.dispatch(effSetChunk, 1, sizeof record, &record), 1100);

        Lv2TestHost lv2;
        ASSERT_TRUE(lv2.ready());
        for (std::uint32_t slot = 0; slot < ProgramRecord::valueCount; ++slot) {
            lv2.control(ParameterTable::appliedOrder[slot], ports[slot]);
        }
        // The loop loads in one block and is announced in the next; both ran the filter, so the
        // VST 2 side runs two such blocks too.
        lv2.setLoop(loop);
        lv2.run(32);
        lv2.run(32);
        ASSERT_EQ(lv2.announcedLoop, loop);

        constexpr std::uint32_t frames = 256;
        std::vector<float> left(frames), right(frames);
        float* outputs[2] = {left.data(), right.data()};
        vst.processReplacing(outputs, 32);
        vst.processReplacing(outputs, 32);

        constexpr double samplesPerBeat = 22050.0;  // 120 beats per minute
        float loudest = 0.0f;
        double beat = 3.9;  // a bar line falls inside the run, so the LFO restarts on it
        for (int block = 0; block < 48; ++block) {
            std::vector<VstMidiEvent> notes;
            if (block < 16) {
                const auto note = static_cast<std::uint8_t>(36 + block % 8);
                const auto delta = static_cast<std::int32_t>(block * 13 % frames);
                notes.push_back(EventList::midiEvent(delta, 0x90, note, 100));
                lv2.midi(delta, 0x90, note, 100);
                if (block >= 4) {
                    const auto previous = static_cast<std::uint8_t>(36 + (block - 4) % 8);
                    notes.push_back(EventList::midiEvent(delta + 1, 0x80, previous, 0));
                    lv2.midi(delta + 1, 0x80, previous, 0);
                }
            }
            const double bar = std::floor(beat / 4.0);
            VstTimeInfo time{};
            time.tempo = 120.0;
            time.barStartPos = bar * 4.0;
            time.ppqPos = time.barStartPos + (beat - bar * 4.0);
            time.flags = kVstPpqPosValid | kVstBarsValid | kVstTempoValid | kVstTransportPlaying;
            vst.timeInfo = time;
            lv2.position(bar, beat - bar * 4.0, 120.0, 1.0);
            beat += frames / samplesPerBeat;

            if (!notes.empty()) vst.sendEvents(notes);
            vst.processReplacing(outputs, frames);
            const std::vector<float> lv2Left = lv2.run(frames);
            for (std::uint32_t i = 0; i < frames; ++i) {
                ASSERT_NEAR(lv2Left[i], left[i], 1e-6) << "block " << block << " frame " << i;
                ASSERT_NEAR(lv2.right[i], right[i], 1e-6) << "block " << block << " frame " << i;
                loudest = std::max(loudest, std::fabs(left[i]));
            }
        }
        // The comparison means something only if the notes sounded.
        EXPECT_GT(loudest, 0.01f);
    }
}

// The values the VST 2 host tests load WAV loops with: attack 0, sustain 1.
TEST(Lv2Sound, AWavLoopPlaysEachHitOnItsOwnNoteAsInTheVst2Library) {
    TempDir dir;
    const HitLoop loop;
    const std::string path = writeBytes(dir, "hits.wav", loop.bytes());
    const float values[ProgramRecord::valueCount] = {0.5f, 0, 1, 1, 0, 1, 0, 0, 0, 0.5f, 0, 0, 0};
    Lv2TestHost lv2;
    ASSERT_TRUE(lv2.ready());
    ASSERT_TRUE(loadWithValues(lv2, path, values));
    for (std::size_t i = 0; i < loop.hits.size(); ++i) {
        lv2.midi(0, 0x90, static_cast<std::uint8_t>(36 + i), 127);
        std::vector<float> expected = loop.slice(i);
        expected.resize(expected.size() + 64, 0.0f);
        EXPECT_EQ(lv2.run(static_cast<std::uint32_t>(expected.size())), expected) << "note " << 36 + i;
    }
}

// A reply goes out whole in the space the host offers (and no more than its bufsz:sequenceSize),
// or waits for a block with room.
TEST(Lv2Sound, AnswersTheLoopPathWhenAskedAndOnlyWhereItFits) {
    TempDir dir;
    const std::string loop = writeVariedLoop(dir, "asked.rex");
    struct Case {
        std::uint32_t capacity;
        std::int32_t sequenceSize;
        bool fits;
        bool fitsInTheWholeBuffer;
    };
    for (const Case row : {Case{40, 0, false, true}, Case{64, 0, false, true}, Case{100, 0, false, true},
                           Case{4096, 0, true, true}, Case{4096, 100, false, false}, Case{4096, 2048, true, true}}) {
        SCOPED_TRACE(testing::Message() << row.capacity << " bytes, sequence size " << row.sequenceSize);
        Lv2TestHost lv2(Lv2TestHost::Setup{true, 44100.0, row.sequenceSize, true});
        ASSERT_TRUE(lv2.ready());
        const std::uint32_t whole = lv2.notifyCapacity;
        lv2.notifyCapacity = row.capacity;
        lv2.setLoop(loop);
        lv2.run(16);
        lv2.getLoop();
        lv2.run(16);
        EXPECT_TRUE(lv2.notifyUntouchedBeyondCapacity());
        EXPECT_EQ(lv2.announcedLoop, row.fits ? loop : "");
        lv2.notifyCapacity = whole;
        lv2.run(16);
        EXPECT_EQ(lv2.announcedLoop, row.fitsInTheWholeBuffer ? loop : "");
    }
}

namespace {

constexpr double pi = 3.14159265358979323846;

// A 220 Hz tone of half a second as slice 0.
std::string writeToneLoop(const TempDir& dir) {
    std::vector<float> tone(engineSampleRate / 2);
    for (std::size_t k = 0; k < tone.size(); ++k) {
        tone[k] = std::round(16384.0 * std::sin(2.0 * pi * 220.0 * k / engineSampleRate)) / 32768.0f;
    }
    const std::string path = dir.file("tone.rex");
    RexFileWriter::forLoop(RexFileWriter::monoLoop(tone, {0}, {0}, 120.0, 1920)).write(path);
    return path;
}

// The pitch of the note (from its rising zero crossings, placed between frames) and how long it sounds.
struct Heard {
    double hertz;
    double seconds;
};

Heard hear(const std::vector<float>& out, double rate) {
    std::size_t last = out.size();
    while (last > 0 && std::fabs(out[last - 1]) < 1e-3f) --last;
    std::vector<double> rising;
    for (std::size_t k = 1; k < last; ++k) {
        if (out[k - 1] < 0.0f && out[k] >= 0.0f) rising.push_back(k - 1 + out[k - 1] / (out[k - 1] - out[k]));
    }
    if (rising.size() < 2) return {0.0, last / rate};
    return {(rising.size() - 1) * rate / (rising.back() - rising.front()), last / rate};
}

// Sustain at full level, no attack, the filter off: the slice plays as recorded.
constexpr std::pair<Parameter::Number, float> plainSlice[] = {
    {Parameter::ampAttack, 0.0f}, {Parameter::ampSustain, 1.0f}, {Parameter::filterOn, 0.0f}};

std::vector<float> collect(double rate, const std::function<std::vector<float>(std::uint32_t)>& block) {
    std::vector<float> out;
    while (out.size() < static_cast<std::size_t>(0.7 * rate)) {
        const std::vector<float> next = block(512);
        out.insert(out.end(), next.begin(), next.end());
    }
    return out;
}

// The VST 2 library starts at 44.1 kHz with a note sounding, and the host changes the rate under it.
Heard throughVst2(const PluginLibrary& library, const std::string& loop, double rate) {
    PluginHost vst(library);
    EXPECT_NE(vst.open(), nullptr);
    ProgramRecord record{};
    ParameterTable::fillDefaults(record);
    std::strncpy(record.path, loop.c_str(), sizeof record.path - 1);
    for (const auto& [index, value] : plainSlice) record.values[ParameterTable::slotOf(index)] = value;
    EXPECT_EQ(vst.dispatch(effSetChunk, 1, sizeof record, &record), 1100);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<VstMidiEvent> note = {EventList::midiEvent(0, 0x90, 36, 127)};
    if (rate != engineSampleRate) {
        vst.sendEvents(note);
        for (int block = 0; block < 8; ++block) vst.processReplacing(outputs, 512);
        vst.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    }
    vst.sendEvents(note);
    return hear(collect(rate,
                        [&](std::uint32_t frames) {
                            vst.processReplacing(outputs, static_cast<std::int32_t>(frames));
                            return left;
                        }),
                rate);
}

Heard throughLv2(const std::string& loop, double rate) {
    Lv2TestHost lv2(true, rate);
    EXPECT_TRUE(lv2.ready());
    for (const auto& [index, value] : plainSlice) lv2.control(index, PortScales::shown(ParameterTable::slotOf(index), value));
    lv2.setLoop(loop);
    lv2.run(32);
    lv2.midi(0, 0x90, 36, 127);
    return hear(collect(rate, [&](std::uint32_t frames) { return lv2.run(frames); }), rate);
}

}  // namespace

// Both Linux formats play at the host's rate as they play at 44.1 kHz: the same pitch within a
// cent and the same length within a millisecond.
TEST(Lv2Sound, BothLinuxFormatsPlayAtTheHostRateAsAt44100) {
    TempDir dir;
    const std::string loop = writeToneLoop(dir);
    const PluginLibrary library(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
    ASSERT_TRUE(library.loaded()) << library.error();
    const Heard reference = throughVst2(library, loop, engineSampleRate);
    ASSERT_NEAR(reference.hertz, 220.0, 0.1);
    ASSERT_NEAR(reference.seconds, 0.5, 0.001);
    for (const double rate : {22050.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
        for (const bool lv2 : {false, true}) {
            SCOPED_TRACE(testing::Message() << rate << (lv2 ? " Hz, LV2" : " Hz, VST 2"));
            const Heard heard = lv2 ? throughLv2(loop, rate) : throughVst2(library, loop, rate);
            EXPECT_NEAR(1200.0 * std::log2(heard.hertz / reference.hertz), 0.0, 1.0);
            EXPECT_NEAR(heard.seconds, reference.seconds, 0.001);
        }
    }
}

// A rate no host can mean leaves the plug-in at 44.1 kHz, with one line in the log (standard error
// for a host without one).
TEST(Lv2Bundle, ARateItCannotFollowLeavesItAt44100WithALogLine) {
    for (const double rate : {0.0, -48000.0, 500000.0}) {
        testing::internal::CaptureStderr();
        const Lv2TestHost lv2(true, rate);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(lv2.ready());
        EXPECT_NE(said.find("stays at 44100 Hz"), std::string::npos) << rate << ": " << said;
    }
}
