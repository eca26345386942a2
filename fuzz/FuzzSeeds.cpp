// Writes a fuzz target's starting corpus into a folder: inputs made by the project's own writers,
// well-formed and in the shapes that exercise the harder paths of the code under test.
//   fuzz_seeds TARGET FOLDER
#include "DropFilesBlock.h"
#include "EventList.h"
#include "FuzzFiles.h"
#include "LoopFiles.h"
#include "Lv2Uris.h"
#include "QuietServices.h"
#include "SliceWav.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexFileWriter.h"
#include "loopfile/RexReader.h"
#include "shared/ParameterNumber.h"

#include <lv2/atom/forge.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes prefixed(std::uint8_t first, const Bytes& rest) {
    Bytes all{first};
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

RexLoopContent smallLoop(int16_t channels, int16_t bits) {
    RexLoopContent loop;
    loop.channelCount = channels;
    loop.bitsPerSample = bits;
    loop.loopLength = 3840;
    const uint32_t frames = 64;
    for (uint32_t i = 0; i < frames * static_cast<uint32_t>(channels); ++i) {
        loop.samples.push_back(static_cast<float>(std::sin(0.3 * i)) * 0.9f);
    }
    const uint32_t quarter = frames / 4 * static_cast<uint32_t>(channels);
    for (uint16_t i = 0; i < 4; ++i) {
        loop.slices.push_back({i * quarter, quarter, static_cast<uint16_t>(960 * i)});
    }
    return loop;
}

std::vector<std::pair<std::string, RexFileWriter>> loopSeeds() {
    std::vector<std::pair<std::string, RexFileWriter>> all;
    all.emplace_back("mono16", RexFileWriter::forLoop(smallLoop(1, 16)));
    all.emplace_back("stereo24", RexFileWriter::forLoop(smallLoop(2, 24)));
    all.emplace_back("mono8", RexFileWriter::forLoop(smallLoop(1, 8)));

    RexLoopContent overrun = smallLoop(1, 16);
    overrun.slices.push_back({60, 100, 3000});
    overrun.slices.push_back({500, 4, 3500});
    all.emplace_back("slices-past-end", RexFileWriter::forLoop(overrun));

    RexFileWriter odd = RexFileWriter::forLoop(smallLoop(1, 8));
    odd.chunks().insert(odd.chunks().begin(), AiffChunk::raw("NAME", {'l', 'o', 'o', 'p', '!'}));
    odd.chunks().front().padded = false;
    odd.chunks().back().body.push_back(0);
    odd.chunks().back().padded = false;
    all.emplace_back("odd-unpadded", odd);

    RexFileWriter reordered = RexFileWriter::forLoop(smallLoop(2, 16));
    std::swap(reordered.chunks()[0], reordered.chunks()[2]);
    reordered.append(AiffChunk::raw("MARK", {0, 1, 0, 0, 0, 0, 0, 0, 2, 'a', 'b'}));
    all.emplace_back("reordered-with-marker", reordered);

    RexFileWriter offset;
    offset.append(AiffChunk::common(1, 8, 12, 22050));
    offset.append(AiffChunk::soundData(std::vector<uint8_t>(16, 0x55), 6, 4));
    RexChunkFields fields;
    fields.slices = {{0, 4, 0}, {4, 4, 480}};
    fields.trailingBytes = 6;
    offset.append(AiffChunk::rex(fields));
    offset.append(AiffChunk::rex(RexChunkFields{}));
    all.emplace_back("offset-and-two-rex-chunks", offset);
    return all;
}

Seeds rexReaderSeeds() {
    Seeds seeds;
    for (const auto& [name, writer] : loopSeeds()) seeds.emplace_back(name, writer.bytes());
    // Audio loops, which the reader cuts at their hits: a plain AIFF file, and a stereo 24-bit WAV
    // with an acid chunk.
    RexFileWriter plain = RexFileWriter::forLoop(smallLoop(1, 16));
    plain.removeChunks("APPL");
    seeds.emplace_back("plain-aiff", plain.bytes());
    WaveFile wave;
    wave.channels = 2;
    wave.bits = 24;
    wave.samples = drumHitSamples(2000, {0, 700, 1500}, 2);
    wave.extraChunks.push_back(AiffChunk::raw("acid", std::vector<uint8_t>(24, 1)));
    seeds.emplace_back("stereo24-wav", wave.bytes());
    return seeds;
}

VstIntPtr VSTCALL quietHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Programs as the instrument saves them, naming the loop the fuzz targets share.
Bytes chunkOf(const std::map<std::int32_t, float>& values, bool preset) {
    QuietServices services;
    Instrument instrument(quietHost, services);
    InputFile loop(fuzzing::sharedLoopPath().c_str());
    instrument.loadLoop(loop);
    for (const auto& [index, value] : values) instrument.setParameter(index, value);
    void* data = nullptr;
    const std::int32_t size = instrument.getChunk(&data, preset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return prefixed(preset ? 1 : 0, Bytes(bytes, bytes + size));
}

Seeds chunkSeeds() {
    using namespace Parameter;
    return {{"fresh-preset", chunkOf({}, true)},
            {"sustained-bank", chunkOf({{ampSustain, 1.0f}, {ampRelease, 0.3f}}, false)},
            {"resonant-filter", chunkOf({{filterOn, 1.0f},
                                         {filterResonance, 1.0f},
                                         {filterFrequency, 0.2f},
                                         {lfoAmount, 1.0f},
                                         {lfoFrequency, 1.0f},
                                         {ampSustain, 1.0f}},
                                        true)},
            {"tempo-synced-highpass", chunkOf({{filterOn, 1.0f},
                                               {filterMode, 1.0f},
                                               {lfoSyncOn, 1.0f},
                                               {lfoSyncMode, 0.6f},
                                               {lfoAmount, 0.5f},
                                               {ampAttack, 0.001f}},
                                              false)}};
}

Bytes grooveOf(const RexLoopContent& loop) {
    const std::string loopPath = (fuzzing::folder() / "groove.rex").string();
    const std::string groovePath = (fuzzing::folder() / "groove.mid").string();
    fuzzing::require(RexFileWriter::forLoop(loop).write(loopPath));
    InputFile file(loopPath.c_str());
    RexReader reader(file);
    reader.parse();
    OutputFile out(groovePath.c_str());
    writeMidiGroove(reader, out);
    fuzzing::require(out.close());
    std::ifstream in(groovePath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Seeds midiFileSeeds() {
    RexLoopContent four = smallLoop(1, 16);
    RexLoopContent many = smallLoop(2, 16);
    for (std::uint16_t i = 0; i < 40; ++i) many.slices.push_back({i * 2u, 2u, static_cast<std::uint16_t>(i * 90)});
    many.loopLength = 4000;
    return {{"four-slices", grooveOf(four)}, {"forty-four-slices", grooveOf(many)}};
}

Bytes aiffRecording(std::int16_t channels) {
    RexFileWriter writer;
    std::vector<std::uint8_t> data;
    for (int i = 0; i < 600 * channels; ++i) {
        const auto value = static_cast<std::int16_t>(i % 150 < 10 ? 30000 : (i * 37) % 200 - 100);
        data.push_back(static_cast<std::uint8_t>(value >> 8));
        data.push_back(static_cast<std::uint8_t>(value));
    }
    writer.append(AiffChunk::common(channels, 600, 16, 44100));
    writer.append(AiffChunk::soundData(data));
    return writer.bytes();
}

Bytes wavRecording(int channels) {
    std::vector<float> sound(static_cast<std::size_t>(800 * channels));
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = i % 200 < 8 ? 0.9f : 0.01f * std::sin(0.3 * i);
    return SliceWav::encode(sound.data(), static_cast<std::uint32_t>(sound.size()), channels, 16, 44100);
}

Seeds makeSeeds() {
    return {{"wav-mono-detect", prefixed(1, wavRecording(1))},
            {"wav-stereo-slices", prefixed(0, wavRecording(2))},
            {"aiff-mono-slices", prefixed(0, aiffRecording(1))},
            {"aiff-stereo-detect", prefixed(1, aiffRecording(2))}};
}

Bytes words(std::uint8_t purpose, const std::vector<std::string>& all) {
    Bytes joined{purpose};
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i > 0) joined.push_back(0);
        joined.insert(joined.end(), all[i].begin(), all[i].end());
    }
    return joined;
}

Seeds optionsSeeds() {
    const Bytes program = chunkOf({{Parameter::ampSustain, 0.7f}}, true);
    return {{"render",
             words(0, {"--loop", "demo.rex", "--midi", "demo.mid", "--output", "out.wav", "--param", "Amp Sus=0.5",
                       "--param", "11=1", "--tail", "0.5", "--repeat", "2", "--block", "256", "--format", "24"})},
            {"export-groove", words(0, {"--loop", "demo.rex", "--export-groove", "groove.mid"})},
            {"make-slices", words(1, {"--bars", "2", "--tempo", "120", "--slices", "0,1000,2000"})},
            {"make-detect", words(1, {"--tempo", "96.5", "--bars", "1", "--detect"})},
            {"kit", words(2, {"--groove", "--param", "Amp Rls=0.25", "--param", "3=0.7", "--force"})},
            {"kit-program", prefixed(3, Bytes(program.begin() + 1, program.end()))}};
}

// The events of one control sequence, without the sequence's own header, which the target writes.
Bytes lv2Events(const std::function<void(LV2_Atom_Forge&, LV2_URID_Map&)>& write) {
    fuzzing::Lv2UridMap uris;
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &uris.feature);
    std::vector<std::uint64_t> buffer(1024);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size() * 8);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    write(forge, uris.feature);
    lv2_atom_forge_pop(&forge, &sequence);
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer.data());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
    return Bytes(bytes + sizeof(LV2_Atom_Sequence), bytes + sizeof(LV2_Atom) + atom->size);
}

void midi(LV2_Atom_Forge& forge, LV2_URID_Map& map, std::int64_t frame, std::uint8_t status, std::uint8_t note,
          std::uint8_t velocity) {
    const std::uint8_t bytes[3] = {status, note, velocity};
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_atom(&forge, 3, map.map(map.handle, LV2_MIDI__MidiEvent));
    lv2_atom_forge_write(&forge, bytes, 3);
}

void patch(LV2_Atom_Forge& forge, LV2_URID_Map& map, std::int64_t frame, const char* kind, const std::string* path) {
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &object, 0, map.map(map.handle, kind));
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, map.map(map.handle, Lv2Identity::loopPropertyUri));
    if (path) {
        lv2_atom_forge_key(&forge, map.map(map.handle, LV2_PATCH__value));
        lv2_atom_forge_path(&forge, path->c_str(), static_cast<std::uint32_t>(path->size()));
    }
    lv2_atom_forge_pop(&forge, &object);
}

void position(LV2_Atom_Forge& forge, LV2_URID_Map& map, std::int64_t frame) {
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_object(&forge, &object, 0, map.map(map.handle, LV2_TIME__Position));
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, 128.0f);
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_TIME__bar));
    lv2_atom_forge_long(&forge, 3);
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, 1.5f);
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_TIME__speed));
    lv2_atom_forge_float(&forge, 1.0f);
    lv2_atom_forge_key(&forge, map.map(map.handle, LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&forge, 4.0f);
    lv2_atom_forge_pop(&forge, &object);
}

Seeds lv2Seeds() {
    const std::string loop = fuzzing::sharedLoopPath();
    return {{"notes", lv2Events([](LV2_Atom_Forge& forge, LV2_URID_Map& map) {
                 midi(forge, map, 0, 0x90, 36, 100);
                 midi(forge, map, 40, 0xE0, 0, 80);
                 midi(forge, map, 100, 0x80, 36, 0);
             })},
            {"load-and-play", lv2Events([&loop](LV2_Atom_Forge& forge, LV2_URID_Map& map) {
                 patch(forge, map, 0, LV2_PATCH__Set, &loop);
                 midi(forge, map, 10, 0x90, 38, 127);
             })},
            {"ask-and-follow", lv2Events([](LV2_Atom_Forge& forge, LV2_URID_Map& map) {
                 patch(forge, map, 0, LV2_PATCH__Get, nullptr);
                 position(forge, map, 5);
                 midi(forge, map, 20, 0x90, 40, 64);
             })}};
}

Seeds dropListSeeds() {
    const auto bytes = [](const std::vector<unsigned char>& block) { return Bytes(block.begin(), block.end()); };
    return {{"narrow", bytes(dropFilesBlock<std::string>({"C:\\loops\\beat.rex", "D:\\x.lnk"}))},
            {"wide", bytes(dropFilesBlock<std::u16string>({u"\\\\server\\share\\loop.rex", u"C:\\a.rex"}))},
            {"offset-past-header", bytes(dropFilesBlock<std::string>({"/tmp/loop.rex"}, 28))}};
}

Seeds chooserAnswerSeeds() {
    const Bytes loop = bytesOf(fuzzing::sharedLoopPath() + "\n");
    return {{"load", prefixed(0xFC, loop)},
            {"save-without-extension", prefixed(0xFD, bytesOf("/tmp/groove\n"))},
            {"save-with-extension", prefixed(0xF1, bytesOf("/tmp/my.groove.mid"))},
            {"short-buffer", prefixed(0x08, loop)}};
}

const std::map<std::string, Seeds (*)()> seedsFor = {
    {"rex_reader_fuzzer", rexReaderSeeds}, {"chunk_fuzzer", chunkSeeds},
    {"midi_file_fuzzer", midiFileSeeds},   {"make_fuzzer", makeSeeds},
    {"options_fuzzer", optionsSeeds},      {"lv2_atom_fuzzer", lv2Seeds},
    {"drop_list_fuzzer", dropListSeeds},   {"chooser_answer_fuzzer", chooserAnswerSeeds}};

}  // namespace

int main(int argc, char** argv) {
    const auto found = argc == 3 ? seedsFor.find(argv[1]) : seedsFor.end();
    if (found == seedsFor.end()) {
        std::fprintf(stderr, "usage: fuzz_seeds TARGET FOLDER\n");
        return 2;
    }
    fuzzing::writeSharedLoop();
    for (const auto& [name, bytes] : found->second()) {
        const std::string path = std::string(argv[2]) + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
