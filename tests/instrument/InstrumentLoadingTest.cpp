#include "FileSizeLimit.h"
#include "HeldBackFile.h"
#include "InstrumentFixture.h"

#include <cmath>
#include <cstring>
#if !defined(_WIN32)
#include <sys/stat.h>
#endif
#include <fstream>
#include <iterator>
#include <thread>

namespace {

class InstrumentLoading : public InstrumentFixture {
protected:
    std::string loopPath = writeLoopFile(dir, "eight.rex", eightSliceLoop());

    std::vector<uint8_t> fileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
};

}  // namespace

TEST_F(InstrumentLoading, EachSliceAnswersItsNoteInFileOrder) {
    ASSERT_TRUE(load(loopPath));
    const SliceBank& bank = engine().bank();
    ASSERT_EQ(bank.count(), 8);
    for (std::int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bank.slice(i)->note(), 36 + i);
        EXPECT_EQ(bank.slice(i)->samples()[0], static_cast<float>(i + 1) / 16.0f);
    }
}

TEST_F(InstrumentLoading, TheLoopsPathIsStoredInTheCurrentProgramOnly) {
    instrument.setProgram(4);
    ASSERT_TRUE(load(loopPath));
    EXPECT_STREQ(instrument.program(4).path, loopPath.c_str());
    for (std::int32_t index : {0, 3, 5, 15}) EXPECT_EQ(instrument.program(index).path[0], '\0');
}

TEST_F(InstrumentLoading, AFailedLoadEmptiesTheBankAndLeavesThePathAndAWorkingInstrument) {
    ASSERT_TRUE(load(loopPath));
    const std::string broken = dir.file("broken.rex");
    std::ofstream(broken) << "not a loop at all";
    EXPECT_FALSE(load(broken));
    EXPECT_EQ(engine().bank().count(), 0);
    EXPECT_STREQ(instrument.program(0).path, loopPath.c_str());
    EXPECT_FALSE(instrument.busy());
    EXPECT_EQ(send({midi(0, 0x90, 36, 127)}), 1);
    for (float sample : render(64)) EXPECT_EQ(sample, 0.0f);
    EXPECT_EQ(instrument.loadedLoop(), nullptr);
}

TEST_F(InstrumentLoading, SelectingAProgramReloadsItsLoopFromDisk) {
    instrument.setProgram(1);
    ASSERT_TRUE(load(loopPath));
    instrument.setProgram(0);
    EXPECT_EQ(engine().bank().count(), 0);

    RexLoopContent changed = eightSliceLoop();
    changed.slices.resize(3);
    RexFileWriter::forLoop(changed).write(loopPath);
    instrument.setProgram(1);
    EXPECT_EQ(engine().bank().count(), 3);
}

TEST_F(InstrumentLoading, TheBankChunkIsTheProgramArrayAndRoundTrips) {
    instrument.setProgram(2);
    ASSERT_TRUE(load(loopPath));
    instrument.setParameter(3, 0.7f);
    void* data = nullptr;
    ASSERT_EQ(instrument.getChunk(&data, false), 17600);
    EXPECT_EQ(std::memcmp(data, &instrument.program(0), 17600), 0);
    const std::vector<uint8_t> saved(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 17600);

    Instrument restored(host, platform);
    std::vector<uint8_t> copy = saved;
    EXPECT_EQ(restored.setChunk(copy.data(), 17600, true), 17600);
    EXPECT_EQ(restored.getProgram(), 0);
    void* again = nullptr;
    restored.getChunk(&again, false);
    EXPECT_EQ(std::memcmp(again, saved.data(), 17600), 0);
    restored.setProgram(2);
    EXPECT_EQ(restored.getParameter(3), 0.7f);
    EXPECT_EQ(restored.soundEngine().bank().count(), 8);
}

TEST_F(InstrumentLoading, APresetChunkAppliesValuesAndLoopButKeepsTheProgramName) {
    ProgramRecord record{};
    std::strcpy(record.path, loopPath.c_str());
    std::strcpy(record.name, "Other name");
    for (float& value : record.values) value = 0.25f;
    char name[] = "Kept";
    instrument.setProgramName(name);

    EXPECT_EQ(instrument.setChunk(&record, 1100, true), 1100);
    EXPECT_EQ(engine().bank().count(), 8);
    EXPECT_TRUE(platform.notices.empty());
    EXPECT_EQ(instrument.getParameter(13), 0.25f);
    EXPECT_STREQ(instrument.program(0).name, "Kept");

    void* data = nullptr;
    ASSERT_EQ(instrument.getChunk(&data, true), 1100);
    const auto* copy = static_cast<const ProgramRecord*>(data);
    EXPECT_STREQ(copy->path, loopPath.c_str());
    EXPECT_EQ(std::memcmp(copy->values, record.values, sizeof record.values), 0);
}

// The Linux library says so, without holding the host.
// Only where messages never hold the host: the Windows libraries restore a project silently, as
// they always have.
TEST_F(InstrumentLoading, AChunkWhoseLoopIsGoneSaysWhichAndWhyOnLinux) {
    ProgramRecord record{};
    const std::string gone = dir.file("gone.rex");
    std::strcpy(record.path, gone.c_str());
    EXPECT_EQ(instrument.setChunk(&record, 1100, true), 1100);
    EXPECT_EQ(engine().bank().count(), 0);
#if defined(_WIN32)
    EXPECT_TRUE(platform.notices.empty());
    return;
#endif
    ASSERT_EQ(platform.notices.size(), 1u);
    EXPECT_NE(platform.notices[0].text.find("\"" + gone + "\" was not loaded: the file cannot be opened: No such file"),
              std::string::npos)
        << platform.notices[0].text;
}

TEST_F(InstrumentLoading, ChunksOfAnyOtherShapeAreRefused) {
    ProgramRecord record{};
    for (float& value : record.values) value = 0.9f;
    EXPECT_EQ(instrument.setChunk(&record, 1100, false), 0);
    EXPECT_EQ(instrument.setChunk(&record, 1000, true), 0);
    EXPECT_EQ(instrument.setChunk(nullptr, 17600, false), 0);
    EXPECT_EQ(instrument.getParameter(0), 0.5f);
}

TEST_F(InstrumentLoading, RecordsWithoutTerminatorsAreReadWithinTheirFields) {
    std::vector<ProgramRecord> bank(16);
    for (ProgramRecord& record : bank) std::memset(&record, 'x', sizeof record);
    for (ProgramRecord& record : bank) std::memset(record.values, 0, sizeof record.values);
    EXPECT_EQ(instrument.setChunk(bank.data(), 17600, false), 17600);
    char name[64];
    instrument.getProgramName(name);
    EXPECT_EQ(std::string(name), std::string(23, 'x'));
    EXPECT_EQ(engine().bank().count(), 0);

    ProgramRecord preset;
    std::memset(&preset, 'y', sizeof preset);
    EXPECT_EQ(instrument.setChunk(&preset, 1100, true), 1100);
    EXPECT_EQ(engine().bank().count(), 0);
}

TEST_F(InstrumentLoading, TheLoadCommandLoadsWhatTheDialogChose) {
    int window = 0;
    platform.chosenPath.clear();
    instrument.chooseLoopFile(&window);
    EXPECT_EQ(engine().bank().count(), 0);
    platform.chosenPath = loopPath;
    instrument.chooseLoopFile(&window);
    EXPECT_EQ(engine().bank().count(), 8);
    ASSERT_EQ(platform.dialogs.size(), 2u);
    EXPECT_STREQ(platform.dialogs[0].title, "Load Rex File");
    EXPECT_STREQ(platform.dialogs[0].filterName, "REX Files (*.rex)");
    EXPECT_STREQ(platform.dialogs[0].pattern, "*.rex");
    EXPECT_STREQ(platform.dialogs[0].defaultExtension, "rex");
    EXPECT_STREQ(platform.dialogs[0].otherPattern, "*.wav;*.aif;*.aiff");
    EXPECT_EQ(platform.owners[0], &window);
}

TEST_F(InstrumentLoading, ExportingWithoutALoopSaysSoAndWritesNothing) {
    platform.chosenPath = dir.file("groove.mid");
    instrument.exportGroove(nullptr);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_FALSE(std::ifstream(platform.chosenPath).good());
}

TEST_F(InstrumentLoading, ExportWritesTheLoadedLoopsGrooveWhereTheDialogSays) {
    ASSERT_TRUE(load(loopPath));
    platform.chosenPath = dir.file("groove.mid");
    instrument.exportGroove(nullptr);
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_STREQ(platform.dialogs[0].title, "Save REX Groove As Standard Midi");
    EXPECT_STREQ(platform.dialogs[0].filterName, "Midi Files (*.MID)");
    EXPECT_STREQ(platform.dialogs[0].defaultExtension, "mid");
    const std::vector<uint8_t> groove = fileBytes(platform.chosenPath);
    EXPECT_EQ(groove.size(), 14u + 27 + 8 + 8 * 9 + 4);
}

TEST_F(InstrumentLoading, AGrooveThatCannotBeWrittenShowsTheSystemsReason) {
    ASSERT_TRUE(load(loopPath));
    platform.chosenPath = dir.file(std::string(300, 'g') + ".mid");  // longer than a file name may be
    instrument.exportGroove(nullptr);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Error");
    EXPECT_EQ(platform.messages[0].text, "The system's reason.");
}

// What stands where the groove would go is refused up front, in the words the tools use.
TEST_F(InstrumentLoading, AGrooveIsNotSavedOverTheLoadedLoopByAnySpellingNorOverWhatIsNoFile) {
    ASSERT_TRUE(load(loopPath));
    const std::vector<uint8_t> loop = fileBytes(loopPath);
    std::vector<std::pair<std::string, std::string>> refused = {
        {loopPath, "is the loaded loop"},
        {dir.file("./eight.rex"), "is the loaded loop"},
        {dir.path().string(), "will not write there: it is a folder"},
        {dir.file("missing/groove.mid"), "there is no such folder"}};
#if !defined(_WIN32)
    const std::string fifo = dir.file("fifo.mid");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    refused.push_back({fifo, "will not write there: it is a FIFO, not a regular file"});
    refused.push_back({"/dev/null", "will not write there: it is a device, not a regular file"});
#endif
    for (const auto& [path, reason] : refused) {
        platform.messages.clear();
        platform.chosenPath = path;
        instrument.exportGroove(nullptr);
        ASSERT_EQ(platform.messages.size(), 1u) << path;
        EXPECT_NE(platform.messages[0].text.find(reason), std::string::npos) << platform.messages[0].text;
    }
    EXPECT_EQ(fileBytes(loopPath), loop);
    EXPECT_NE(instrument.loadedLoop(), nullptr);
}

#if !defined(_WIN32)
TEST_F(InstrumentLoading, AGrooveThatDoesNotFitOnTheDiskShowsTheReasonAndKeepsTheEarlierFile) {
    ASSERT_TRUE(load(loopPath));
    platform.chosenPath = dir.file("groove.mid");
    std::ofstream(platform.chosenPath) << "earlier";
    {
        const FileSizeLimit full(20);
        instrument.exportGroove(nullptr);
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Error");
    EXPECT_EQ(fileBytes(platform.chosenPath), (std::vector<uint8_t>{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
}
#endif

// Hosts may gather the presets of several programs before they save any of them.
TEST_F(InstrumentLoading, EachProgramsPresetChunkStaysItsOwn) {
    instrument.setProgram(1);
    instrument.setParameter(3, 0.1f);
    void* first = nullptr;
    ASSERT_EQ(instrument.getChunk(&first, true), 1100);
    instrument.setProgram(2);
    instrument.setParameter(3, 0.2f);
    void* second = nullptr;
    ASSERT_EQ(instrument.getChunk(&second, true), 1100);
    EXPECT_EQ(static_cast<ProgramRecord*>(first)->values[3], 0.1f);
    EXPECT_EQ(static_cast<ProgramRecord*>(second)->values[3], 0.2f);
}

// A host may change programs from within the save dialog's message loop; the groove written is
// that of the loop loaded when the dialog returns.
TEST_F(InstrumentLoading, ExportWritesTheLoopLoadedWhenTheDialogReturns) {
    RexLoopContent three = eightSliceLoop();
    three.slices.resize(3);
    instrument.setProgram(1);
    ASSERT_TRUE(load(writeLoopFile(dir, "three.rex", three)));
    instrument.setProgram(0);
    ASSERT_TRUE(load(loopPath));
    platform.chosenPath = dir.file("groove.mid");
    platform.whileDialogOpen = [this] { instrument.setProgram(1); };
    instrument.exportGroove(nullptr);
    EXPECT_EQ(fileBytes(platform.chosenPath).size(), 14u + 27 + 8 + 3 * 9 + 4);
}

// A small file whose many slices each cover all its samples would take a copy of them per slice.
// The load is refused whole, leaving the state of any refused load.
TEST_F(InstrumentLoading, ALoopWhoseSlicesMultiplyItsMemoryIsRefusedWhole) {
    ASSERT_TRUE(load(loopPath));
    RexLoopContent hostile;
    hostile.samples.assign(4000, 0.5f);
    hostile.slices.assign(300, SliceInfo{0, 4000, 0});
    EXPECT_FALSE(load(writeLoopFile(dir, "hostile.rex", hostile)));
    EXPECT_EQ(engine().bank().count(), 0);
    EXPECT_STREQ(instrument.program(0).path, loopPath.c_str());
    EXPECT_EQ(instrument.loadedLoop(), nullptr);
}

TEST_F(InstrumentLoading, ThePlayingLoopSoundsOnWhileTheNextIsRead) {
    ASSERT_TRUE(load(writeLoopFile(dir, "long.rex", eightSliceLoop(44100))));
    send({midi(0, 0x90, 36, 127)});
    HeldBackFile next(loopPath.c_str());
    std::thread loader([&] { instrument.loadLoop(next); });
    next.waitUntilReading();
    int silentBlocks = 0;
    for (int block = 0; block < 8; ++block) silentBlocks += render(256)[255] == 0.0f ? 1 : 0;
    next.release();
    loader.join();
    EXPECT_EQ(silentBlocks, 0);
    EXPECT_EQ(engine().bank().slice(0)->length(), 64u);
}

namespace {

std::vector<uint8_t> littleEndian(std::initializer_list<std::pair<uint32_t, int>> fields) {
    std::vector<uint8_t> out;
    for (const auto& [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    return out;
}

AiffChunk acidChunk(float tempo, uint32_t beats) {
    uint32_t tempoBits = 0;
    std::memcpy(&tempoBits, &tempo, sizeof tempoBits);
    return AiffChunk::raw("acid",
                          littleEndian({{0, 4}, {60, 2}, {0, 2}, {0, 4}, {beats, 4}, {4, 2}, {4, 2}, {tempoBits, 4}}));
}

AiffChunk samplerLoop(uint32_t first, uint32_t last) {
    return AiffChunk::raw("smpl", littleEndian({{0, 4},
                                                {0, 4},
                                                {22676, 4},
                                                {60, 4},
                                                {0, 4},
                                                {0, 4},
                                                {0, 4},
                                                {1, 4},
                                                {0, 4},
                                                {0, 4},
                                                {0, 4},
                                                {first, 4},
                                                {last, 4},
                                                {0, 4},
                                                {0, 4}}));
}

WaveFile hitsWave(int16_t channels, int16_t bits, const std::vector<uint32_t>& hits, uint32_t frames = 176400,
                  int32_t rate = 44100) {
    WaveFile wave;
    wave.channels = channels;
    wave.bits = bits;
    wave.sampleRate = rate;
    wave.samples = drumHitSamples(frames, hits, channels, rate);
    return wave;
}

struct AudioLoopCase {
    std::string name;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> sliceEnds;  // frames; empty when the file is refused
    double tempo;
    uint32_t ticks;
    std::string said;  // part of the message the user sees, or empty for none
    double fileRate = 44100.0;
};

std::vector<AudioLoopCase> audioLoopCases() {
    const std::vector<uint32_t> eight = evenHits(8, 22050);
    const std::vector<uint32_t> eightEnds = {22050, 44100, 66150, 88200, 110250, 132300, 154350, 176400};
    WaveFile acid = hitsWave(2, 24, eight);
    acid.extraChunks.push_back(acidChunk(100.0f, 8));
    WaveFile sampler = hitsWave(1, 8, eight);
    sampler.extraChunks.push_back(samplerLoop(0, 88199));
    WaveFile wide = hitsWave(2, 32, eight);
    wide.extensible = true;
    WaveFile floats = hitsWave(1, 32, eight);
    floats.floating = true;
    RexLoopContent plain;
    plain.samples = drumHitSamples(176400, eight);
    RexFileWriter annotated = RexFileWriter::forLoop(plain);
    annotated.removeChunks("APPL");
    const std::string note = "Break, 4 bars";
    annotated.append(AiffChunk::raw("ANNO", std::vector<uint8_t>(note.begin(), note.end())));
    std::vector<uint32_t> ninetyTwoEnds;
    for (uint32_t i = 1; i <= 92; ++i) ninetyTwoEnds.push_back(i * 4410);
    std::vector<uint8_t> cutShort = hitsWave(1, 16, eight).bytes();
    cutShort.resize(30);
    return {
        {"16-bit mono WAV, tempo from its length", hitsWave(1, 16, eight).bytes(), eightEnds, 120.0, 7680, ""},
        {"24-bit stereo WAV with an acid chunk", acid.bytes(), eightEnds, 100.0, 7680, ""},
        {"8-bit WAV whose sampler loop is the first half", sampler.bytes(), eightEnds, 120.0, 3840, ""},
        {"32-bit stereo WAV, extensible format", wide.bytes(), eightEnds, 120.0, 7680, ""},
        {"32-bit float WAV", floats.bytes(), eightEnds, 120.0, 7680, ""},
        {"16-bit WAV at 96 kHz",
         hitsWave(1, 16, evenHits(8, 48000), 384000, 96000).bytes(),
         {48000, 96000, 144000, 192000, 240000, 288000, 336000, 384000},
         120.0,
         7680,
         "",
         96000.0},
        {"AIFF annotated with its bars", annotated.bytes(), eightEnds, 240.0, 15360, ""},
        {"silence is one slice", hitsWave(1, 16, {}).bytes(), {176400}, 120.0, 7680, ""},
        {"100 hits keep the first 92", hitsWave(1, 16, evenHits(100, 4410), 441000).bytes(), ninetyTwoEnds, 96.0, 15360,
         "100 hits"},
        {"damaged: cut short in its format", cutShort, {}, 0.0, 0, "runs past the end of the file"},
        {"three channels", hitsWave(3, 16, eight).bytes(), {}, 0.0, 0, "mono or stereo"},
    };
}

}  // namespace

// Every case goes through the panel's LOAD after a REX loop: a refused file leaves that loop playing.
TEST_F(InstrumentLoading, AudioLoopsAreCutAtTheirHitsOrRefusedLeavingTheEarlierLoop) {
    for (const AudioLoopCase& test : audioLoopCases()) {
        SCOPED_TRACE(test.name);
        ASSERT_TRUE(load(loopPath));
        platform.notices.clear();
        platform.chosenPath = writeBytes(dir, "loop.wav", test.bytes);
        instrument.chooseLoopFile(nullptr);
        const SliceBank& bank = engine().bank();
        if (test.sliceEnds.empty()) {
            EXPECT_EQ(bank.count(), 8);
            EXPECT_STREQ(instrument.program(0).path, loopPath.c_str());
        } else {
            const RexReader* loop = instrument.loadedLoop();
            ASSERT_NE(loop, nullptr);
            EXPECT_FLOAT_EQ(loop->tempo(), static_cast<float>(test.tempo));
            EXPECT_EQ(loop->loopLength(), test.ticks);
            ASSERT_EQ(bank.count(), static_cast<std::int32_t>(test.sliceEnds.size()));
            // Where the build follows the host's rate, a file at another rate plays converted to it.
            const double scale = systemRateConversion() ? 44100.0 / test.fileRate : 1.0;
            uint32_t start = 0;
            for (std::int32_t i = 0; i < bank.count(); ++i) {
                EXPECT_EQ(bank.slice(i)->note(), 36 + i);
                EXPECT_EQ(bank.slice(i)->frameCount(),
                          std::llround((test.sliceEnds[static_cast<std::size_t>(i)] - start) * scale));
                start = test.sliceEnds[static_cast<std::size_t>(i)];
            }
        }
        if (test.said.empty()) {
            EXPECT_TRUE(platform.notices.empty());
        } else {
            ASSERT_EQ(platform.notices.size(), 1u);
            EXPECT_NE(platform.notices[0].text.find(test.said), std::string::npos) << platform.notices[0].text;
        }
    }
}
