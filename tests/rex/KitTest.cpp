#include "DrumHits.h"
#include "LoopFiles.h"
#include "SfzTesting.h"
#include "TempDir.h"
#include "ToolRunning.h"
#include "instrument/ParameterTable.h"
#include "instrument/ProgramRecord.h"
#include "loopfile/RexFileWriter.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string sliceFile(const std::string& name, std::size_t number) {
    char text[32];
    std::snprintf(text, sizeof text, "_%03zu.wav", number);
    return name + text;
}

// A loop of the given format whose values, slice starts and lengths are chosen here, so that what
// each slice file must hold follows from them alone.
struct LoopCase {
    std::string what;
    std::int16_t channels;
    std::int16_t bits;
    std::uint32_t frames;
    std::vector<std::uint32_t> sliceFrames;  // starts; each slice runs to the next, the last past the end
    int sfFormat;
};

RexLoopContent loopFor(const LoopCase& loopCase) {
    RexLoopContent loop;
    loop.channelCount = loopCase.channels;
    loop.bitsPerSample = loopCase.bits;
    loop.sampleRate = 22050;
    loop.loopLength = 3840;
    const double steps = static_cast<double>(1 << (loopCase.bits - 1));
    const std::uint32_t count = loopCase.frames * static_cast<std::uint32_t>(loopCase.channels);
    for (std::uint32_t i = 0; i < count; ++i) {
        // Full scale both ways, odd steps, the channels different.
        const double step = static_cast<double>((i * 7919u) % static_cast<std::uint32_t>(2 * steps)) - steps;
        loop.samples.push_back(static_cast<float>(step / steps));
    }
    const auto channels = static_cast<std::uint32_t>(loopCase.channels);
    for (std::size_t k = 0; k < loopCase.sliceFrames.size(); ++k) {
        const std::uint32_t start = loopCase.sliceFrames[k];
        // The last slice claims more than the data holds, which the instrument cuts at the end.
        const std::uint32_t end =
            k + 1 < loopCase.sliceFrames.size() ? loopCase.sliceFrames[k + 1] : loopCase.frames + 100;
        loop.slices.push_back({start * channels, (end - start) * channels, static_cast<std::uint16_t>(k * 960)});
    }
    return loop;
}

class KitTest : public ::testing::Test {
protected:
    ToolRun rex(const std::string& args) { return runShell(dir, std::string(BREVATONE_REX_TOOL) + " " + args); }

    TempDir dir;
};

TEST_F(KitTest, EverySliceFileHoldsTheLoopsOwnValuesAndTheSfzMapsEachOnceToItsNote) {
    const std::vector<LoopCase> cases = {
        {"mono 8-bit", 1, 8, 1001, {0, 333, 777}, SF_FORMAT_PCM_U8},
        {"stereo 8-bit", 2, 8, 517, {0, 1, 300}, SF_FORMAT_PCM_U8},
        {"mono 16-bit", 1, 16, 999, {0, 500}, SF_FORMAT_PCM_16},
        {"stereo 16-bit", 2, 16, 1003, {0, 250, 251, 900}, SF_FORMAT_PCM_16},
        {"mono 24-bit", 1, 24, 777, {0, 100, 700}, SF_FORMAT_PCM_24},
        {"stereo 24-bit", 2, 24, 641, {0, 320}, SF_FORMAT_PCM_24},
    };
    for (const LoopCase& loopCase : cases) {
        SCOPED_TRACE(loopCase.what);
        const RexLoopContent loop = loopFor(loopCase);
        const std::string rexPath = writeLoopFile(dir, "drum loop é.rex", loop);
        const std::string folder = dir.file("kit " + loopCase.what);
        const ToolRun kit = rex("kit " + quoted(rexPath) + " " + quoted(folder));
        ASSERT_EQ(kit.status, 0) << kit.err;

        const SfzFile sfz = SfzFile::read(folder + "/drum loop é.sfz");
        ASSERT_EQ(sfz.regions.size(), loopCase.sliceFrames.size());
        for (std::size_t k = 0; k < loopCase.sliceFrames.size(); ++k) {
            const std::string name = sliceFile("drum loop é", k + 1);
            EXPECT_EQ(sfz.regions[k].at("sample"), name);
            EXPECT_EQ(sfz.regions[k].at("key"), std::to_string(36 + k));
            EXPECT_EQ(sfz.regions[k].at("loop_mode"), "no_loop");

            const SoundFrames sound = SoundFrames::read(folder + "/" + name);
            EXPECT_EQ(sound.info.channels, loopCase.channels);
            EXPECT_EQ(sound.info.samplerate, 22050);
            EXPECT_EQ(sound.info.format, SF_FORMAT_WAV | loopCase.sfFormat);
            const std::size_t from = std::size_t{loopCase.sliceFrames[k]} * loopCase.channels;
            const std::size_t to = k + 1 < loopCase.sliceFrames.size()
                                       ? std::size_t{loopCase.sliceFrames[k + 1]} * loopCase.channels
                                       : loop.samples.size();
            EXPECT_EQ(sound.values, std::vector<float>(loop.samples.begin() + static_cast<std::ptrdiff_t>(from),
                                                       loop.samples.begin() + static_cast<std::ptrdiff_t>(to)));
        }
    }
}

TEST_F(KitTest, AKitOfALoopThatMakeBuiltHoldsTheRecordingSliceBySlice) {
    const SoundFile sound = drumHits(1001, {0, 400, 800}, 2);
    const std::string wav = writeWav16(dir.file("hits.wav"), sound);
    ASSERT_EQ(rex("make " + wav + " " + dir.file("hits.rex") + " --bars 1 --tempo 120 --slices 0,400,800").status, 0);

    ASSERT_EQ(rex("kit " + dir.file("hits.rex") + " " + dir.file("kit")).status, 0);
    const std::vector<std::size_t> starts = {0, 400, 800, 1001};
    for (std::size_t k = 0; k < 3; ++k) {
        const SoundFrames slice = SoundFrames::read(dir.file("kit/" + sliceFile("hits", k + 1)));
        std::vector<float> expected;
        for (std::size_t i = starts[k] * 2; i < starts[k + 1] * 2; ++i) expected.push_back(sound.pcm[i] / 32768.0f);
        EXPECT_EQ(slice.values, expected) << k;
    }
}

// A program chunk as a host saves one: the fresh program with the envelope values changed.
std::string writeProgram(const TempDir& dir, float attack, float decay, float sustain, float release) {
    ProgramRecord record{};
    ParameterTable::fillDefaults(record);
    record.setValue(static_cast<std::size_t>(ParameterTable::slotOf(Parameter::ampAttack)), attack);
    record.setValue(static_cast<std::size_t>(ParameterTable::slotOf(Parameter::ampDecay)), decay);
    record.setValue(static_cast<std::size_t>(ParameterTable::slotOf(Parameter::ampSustain)), sustain);
    record.setValue(static_cast<std::size_t>(ParameterTable::slotOf(Parameter::ampRelease)), release);
    const std::string path = dir.file("program.fxp");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    return writeBytes(path, Bytes(bytes, bytes + sizeof record));
}

TEST_F(KitTest, TheGroupHoldsTheProgramsEnvelopeWithTheEnginesShortestRamps) {
    const std::string loop = writeLoopFile(dir, "loop.rex", eightSliceLoop());
    struct Case {
        std::string options;
        std::string attack, decay, sustain, release;
    };
    const std::string program = writeProgram(dir, 0.25f, 0.5f, 0.75f, 0.125f);
    const std::string shortest = "0.005";
    const std::vector<Case> cases = {
        {"", "0", "1", "0", shortest},
        {"--program " + program, "0.25", "0.5", "75", "0.125"},
        {"--program " + program + " --param 'amp rls=0.375' --param 1=0.0625", "0.0625", "0.5", "75", "0.375"},
        {"--param 'Amp Dcy=0' --param 'Amp Sus=1'", "0", shortest, "100", shortest},
    };
    for (const Case& c : cases) {
        const ToolRun kit = rex("kit " + loop + " " + dir.file("kit") + " --force " + c.options);
        ASSERT_EQ(kit.status, 0) << c.options << kit.err;
        const SfzFile sfz = SfzFile::read(dir.file("kit/loop.sfz"));
        EXPECT_EQ(sfz.group.at("ampeg_attack"), c.attack) << c.options;
        EXPECT_EQ(sfz.group.at("ampeg_decay"), c.decay) << c.options;
        EXPECT_EQ(sfz.group.at("ampeg_sustain"), c.sustain) << c.options;
        EXPECT_EQ(sfz.group.at("ampeg_release"), c.release) << c.options;
        EXPECT_EQ(sfz.group.at("bend_up"), "1200");
        EXPECT_EQ(sfz.group.at("bend_down"), "-1200");
    }
}

TEST_F(KitTest, SlicesNoNoteReachesAndEmptySlicesAreLeftOutAndSaidSo) {
    RexLoopContent loop = loopWithPositions(std::vector<std::uint16_t>(95, 0), 3840);
    loop.slices[4].length = 0;
    loop.slices[6].length = 0;
    loop.slices[7].length = 0;
    const std::string rexPath = writeLoopFile(dir, "many.rex", loop);
    const ToolRun kit = rex("kit " + rexPath + " " + dir.file("kit") + " --groove");
    ASSERT_EQ(kit.status, 0) << kit.err;
    EXPECT_NE(kit.out.find("wrote 89 slice files and many.sfz and many.mid to "), std::string::npos) << kit.out;
    EXPECT_NE(kit.out.find("left out 3 slices no MIDI note reaches (notes stop at 127): 93 to 95\n"), std::string::npos)
        << kit.out;
    EXPECT_NE(kit.out.find("left out 3 empty slices, with no whole frame of sound: 5 and 7 to 8\n"), std::string::npos)
        << kit.out;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("kit")), {}), 91);
    EXPECT_FALSE(fs::exists(dir.file("kit/" + sliceFile("many", 5))));
    EXPECT_TRUE(fs::exists(dir.file("kit/" + sliceFile("many", 92))));
    // The groove is the render tool's export of the same loop, byte for byte.
    ASSERT_EQ(runShell(dir, std::string(BREVATONE_RENDER_TOOL) + " --loop " + rexPath + " --export-groove " +
                                dir.file("groove.mid"))
                  .status,
              0);
    EXPECT_EQ(contentOf(dir.file("kit/many.mid")), contentOf(dir.file("groove.mid")));

    RexLoopContent silent = loopWithPositions({0, 960}, 3840);
    for (SliceInfo& slice : silent.slices) slice.length = 0;
    const ToolRun none = rex("kit " + writeLoopFile(dir, "silent.rex", silent) + " " + dir.file("none"));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no slice of the loop has sound that a note plays"), std::string::npos) << none.err;
    EXPECT_FALSE(fs::exists(dir.file("none")));
}

// A format-0 MIDI file at one tick per frame (441 ticks per quarter note, 10 ms per quarter).
std::string writeNotes(const std::string& path, const std::vector<OneShotPlayer::Note>& notes, std::size_t offFrame) {
    MidiTrack track;
    track.tempo(0, 10000);
    std::size_t at = 0;
    for (const OneShotPlayer::Note& note : notes) {
        track.note(static_cast<std::uint32_t>(note.frame - at), static_cast<std::uint8_t>(note.key),
                   static_cast<std::uint8_t>(note.velocity));
        at = note.frame;
    }
    for (const OneShotPlayer::Note& note : notes) {
        track.note(static_cast<std::uint32_t>(offFrame - at), static_cast<std::uint8_t>(note.key), 0);
        at = offFrame;
    }
    return writeBytes(path, midiFile(0, 441, {track.end()}));
}

TEST_F(KitTest, NotesPlayedThroughTheSfzMappingSoundAsTheInstrumentPlaysThem) {
    const LoopCase mono{"mono 16-bit", 1, 16, 3000, {0, 700, 1300, 2100}, SF_FORMAT_PCM_16};
    RexLoopContent loop = loopFor(mono);
    loop.sampleRate = 44100;
    const std::string rexPath = writeLoopFile(dir, "loop.rex", loop);
    ASSERT_EQ(rex("kit " + rexPath + " " + dir.file("kit")).status, 0);

    // Overlapping notes, a repeated one, notes outside the slices' order, and soft ones, which the SFZ's
    // velocity points must scale as the instrument does.
    const std::vector<OneShotPlayer::Note> notes = {{0, 38, 127},    {100, 36, 96}, {1000, 39, 32},
                                                    {1500, 37, 127}, {1600, 38, 1}, {4000, 36, 64}};
    const std::string midi = writeNotes(dir.file("notes.mid"), notes, 6000);
    const ToolRun render =
        runShell(dir, std::string(BREVATONE_RENDER_TOOL) + " --loop " + rexPath + " --midi " + midi + " --output " +
                          dir.file("render.wav") + " --param 'Amp Atk=0' --param 'Amp Sus=1' --tail 0");
    ASSERT_EQ(render.status, 0) << render.err;
    const SoundFrames rendered = SoundFrames::read(dir.file("render.wav"));
    ASSERT_EQ(rendered.info.channels, 2);
    std::vector<float> left;
    for (std::size_t i = 0; i < rendered.values.size(); i += 2) left.push_back(rendered.values[i]);

    const std::vector<float> played =
        OneShotPlayer::play(dir.file("kit"), SfzFile::read(dir.file("kit/loop.sfz")), notes, left.size());
    ASSERT_GT(left.size(), 5000u);
    for (std::size_t i = 0; i < left.size(); ++i) ASSERT_NEAR(left[i], played[i], 1e-6) << "frame " << i;
}

}  // namespace
