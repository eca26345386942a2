#include "MidiFileParser.h"
#include "PluginSession.h"
#include "RenderTesting.h"
#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t framesPerQuarter = 22050;  // at 120 bpm
constexpr double twoPi = 6.283185307179586;
const std::vector<std::string> playSlicesAsCut = {"--param", "Amp Atk=0", "--param", "Amp Sus=1"};

// A loop of `count` distinct decaying tones at 120 bpm, one per quarter note, in 16-bit values.
RexLoopContent toneLoop(std::uint32_t count) {
    std::vector<std::int16_t> pcm;
    std::vector<std::uint32_t> starts;
    std::vector<std::uint16_t> positions;
    for (std::uint32_t i = 0; i < count; ++i) {
        starts.push_back(i * framesPerQuarter);
        positions.push_back(static_cast<std::uint16_t>(i * 960));
        for (std::uint32_t j = 0; j < framesPerQuarter; ++j) {
            const double tone = std::sin(twoPi * (80.0 + 40.0 * i) * j / 44100.0) * std::exp(-j / 4000.0);
            pcm.push_back(static_cast<std::int16_t>(std::lround(26000.0 * tone)));
        }
    }
    return RexFileWriter::monoLoop(RexFileWriter::samplesFromPcm16(pcm), starts, positions, 120.0, count * 960);
}

// Each slice of `loop` added into a timeline at its start frame moved by `shift(i)` frames.
template <class Shift>
std::vector<float> placed(const RexLoopContent& loop, std::size_t frames, Shift shift) {
    std::vector<float> timeline(frames, 0.0f);
    for (std::size_t i = 0; i < loop.slices.size(); ++i) {
        const SliceInfo& slice = loop.slices[i];
        const auto at = static_cast<std::ptrdiff_t>(slice.start) + shift(i);
        for (std::uint32_t j = 0; j < slice.length; ++j)
            timeline[static_cast<std::size_t>(at) + j] += loop.samples[slice.start + j];
    }
    return timeline;
}

// Whether the rendered audio has the expected length and agrees with it within 1e-6 on every frame.
::testing::AssertionResult sameAudio(const std::vector<float>& rendered, const std::vector<float>& expected) {
    if (rendered.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << rendered.size() << " frames rendered, " << expected.size() << " expected";
    }
    for (std::size_t i = 0; i < rendered.size(); ++i) {
        if (std::fabs(rendered[i] - expected[i]) > 1e-6f) {
            return ::testing::AssertionFailure()
                   << "frame " << i << ": " << rendered[i] << " instead of " << expected[i];
        }
    }
    return ::testing::AssertionSuccess();
}

// The slices played in order, one per quarter note at exactly 500000 microseconds each.
Bytes quarterNotes(std::uint32_t count) {
    MidiTrack track;
    track.tempo(0, 500000);
    for (std::uint32_t i = 0; i < count; ++i) track.note(i == 0 ? 0 : 960, static_cast<std::uint8_t>(36 + i));
    return midiFile(0, 960, {track.end(960)});
}

class RenderThroughPlugin : public ::testing::Test {
protected:
    std::string loopFile(const RexLoopContent& loop) { return writeLoopFile(dir, "loop.rex", loop); }

    std::string grooveOf(const std::string& loop) {
        const std::string path = dir.file("groove.mid");
        const ToolRun run = runTool({"--loop", loop, "--export-groove", path});
        EXPECT_EQ(run.status, 0) << run.err;
        return path;
    }

    WavContent render(std::vector<std::string> args) {
        const std::string output = dir.file("out.wav");
        args.insert(args.end(), {"--output", output});
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return readWav(output);
    }

    WavContent renderGroove(const RexLoopContent& loop, std::vector<std::string> extra = {}) {
        const std::string path = loopFile(loop);
        std::vector<std::string> args = {"--loop", path, "--midi", grooveOf(path), "--tail", "0"};
        args.insert(args.end(), playSlicesAsCut.begin(), playSlicesAsCut.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return render(args);
    }

    TempDir dir;
};

}  // namespace

TEST_F(RenderThroughPlugin, TheExportedGrooveReproducesTheLoopSliceBySlice) {
    const RexLoopContent loop = toneLoop(8);
    const WavContent wav = renderGroove(loop);
    EXPECT_EQ(wav.formatTag, 3);
    EXPECT_TRUE(sameAudio(wav.left, loop.samples));
    EXPECT_EQ(wav.right, wav.left);
}

// The tool cuts the WAV file where the instrument does, and its groove puts every hit back in place.
TEST_F(RenderThroughPlugin, AWavLoopsOwnGrooveReproducesItHitByHit) {
    const HitLoop loop;
    const std::string path = writeBytes(dir, "hits.wav", loop.bytes());
    std::vector<std::string> args = {"--loop", path, "--midi", grooveOf(path), "--tail", "0"};
    args.insert(args.end(), playSlicesAsCut.begin(), playSlicesAsCut.end());
    std::vector<float> expected;
    for (std::size_t i = 0; i < loop.hits.size(); ++i) {
        const std::vector<float> slice = loop.slice(i);
        expected.insert(expected.end(), slice.begin(), slice.end());
    }
    EXPECT_TRUE(sameAudio(render(args).left, expected));
}

TEST_F(RenderThroughPlugin, FromTheTwelfthBeatAt120BpmSlicesStartOneFrameEarly) {
    // The groove's tempo is 499999 microseconds per beat, so beat 12 falls at frame 264599.47.
    const RexLoopContent loop = toneLoop(16);
    const WavContent wav = renderGroove(loop);
    // The groove ends one frame early too.
    const std::vector<float> expected =
        placed(loop, loop.samples.size() - 1, [](std::size_t i) { return i < 12 ? 0 : -1; });
    EXPECT_TRUE(sameAudio(wav.left, expected));
}

TEST_F(RenderThroughPlugin, ASliceThatStartsBetweenTicksPlaysFromTheNearestTick) {
    std::vector<float> samples = toneLoop(1).samples;
    std::fill(samples.begin() + 9980, samples.begin() + 10000, 0.0f);
    // Frame 10000 is tick 435.37 at 120 bpm; tick 435 is frame 9991.4.
    const RexLoopContent loop = RexFileWriter::monoLoop(samples, {0, 10000}, {0, 435}, 120.0, 960);
    const WavContent wav = renderGroove(loop);
    const std::vector<float> expected = placed(loop, samples.size(), [](std::size_t i) { return i == 0 ? 0 : -9; });
    EXPECT_TRUE(sameAudio(wav.left, expected));
}

TEST_F(RenderThroughPlugin, RepeatPlaysTheSongAgainFromItsEnd) {
    const RexLoopContent loop = toneLoop(8);
    const std::string song = writeBytes(dir.file("song.mid"), quarterNotes(8));
    const WavContent wav =
        render({"--loop", loopFile(loop), "--midi", song, "--repeat", "3", "--tail", "0", "--param", "Amp Sus=1"});
    std::vector<float> thrice;
    for (int pass = 0; pass < 3; ++pass) thrice.insert(thrice.end(), loop.samples.begin(), loop.samples.end());
    EXPECT_TRUE(sameAudio(wav.left, thrice));
}

// At another rate the song lasts as long in seconds, and the WAV file carries the rate.
TEST_F(RenderThroughPlugin, AtAnotherRateTheSongLastsAsLongAndTheFileSaysTheRate) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build renders at 44.1 kHz only";
#endif
    const std::string song = writeBytes(dir.file("song.mid"), quarterNotes(8));
    const WavContent wav = render({"--loop", loopFile(toneLoop(8)), "--midi", song, "--tail", "0", "--rate", "48000"});
    EXPECT_EQ(wav.left.size(), 8u * 24000u);
    const Bytes file = readBytes(dir.file("out.wav"));
    EXPECT_EQ(file[24] | file[25] << 8 | file[26] << 16 | file[27] << 24, 48000);
}

TEST_F(RenderThroughPlugin, EventsAfterATempoChangeLandOnTheirFramesWhateverTheBlockSize) {
    MidiTrack conductor;
    conductor.tempo(0, 500000).tempo(960, 1000000).end();
    MidiTrack notes;
    notes.note(0, 36).note(1440, 37).note(50, 38).end();
    const std::string song = writeBytes(dir.file("song.mid"), midiFile(1, 480, {conductor, notes}));
    const std::string loop = loopFile(eightSliceLoop(8));
    for (const char* block : {"1", "100", "4096"}) {
        const WavContent wav = render({"--loop", loop, "--midi", song, "--param", "3=1", "--block", block});
        std::vector<float> expected(92794 + 88200, 0.0f);
        for (const auto& [frame, level] : {std::pair{0, 1.0f}, {88200, 2.0f}, {92794, 3.0f}}) {
            std::fill_n(expected.begin() + frame, 8, level / 16.0f);
        }
        EXPECT_TRUE(sameAudio(wav.left, expected)) << "block " << block;
    }
}

TEST_F(RenderThroughPlugin, TheTempoSyncedLfoFollowsTheTempoOfTheFile) {
    // A tone at half the sample rate, held for 8 s; the low-pass filter's LFO makes its level rise and fall.
    std::vector<float> nyquist(8 * 44100);
    for (std::size_t i = 0; i < nyquist.size(); ++i) nyquist[i] = i % 2 ? -0.5f : 0.5f;
    const std::string loop = loopFile(RexFileWriter::monoLoop(nyquist, {0}, {0}, 120.0, 7680));
    MidiTrack track;
    track.tempo(0, 500000).note(0, 36).tempo(3840, 1000000).end(1920);
    const std::string song = writeBytes(dir.file("song.mid"), midiFile(0, 480, {track}));
    const WavContent wav = render({"--loop", loop, "--midi", song, "--tail", "0", "--param", "Amp Sus=1", "--param",
                                   "Flt On=1", "--param", "Flt Freq=0.75", "--param", "LFO Amt=0.25", "--param",
                                   "LFO Sync Mode=0.6", "--param", "LFO Sync On=1"});
    ASSERT_EQ(wav.left.size(), nyquist.size());

    // The level's rises through its middle, window by window, give the LFO's cycle in each half.
    constexpr std::size_t window = 256;
    std::vector<float> level;
    for (std::size_t at = 0; at + window <= wav.left.size(); at += window) {
        level.push_back(std::fabs(*std::max_element(wav.left.begin() + static_cast<std::ptrdiff_t>(at),
                                                    wav.left.begin() + static_cast<std::ptrdiff_t>(at + window),
                                                    [](float a, float b) { return std::fabs(a) < std::fabs(b); })));
    }
    const auto cycleIn = [&level](std::size_t from, std::size_t to) {
        const auto [low, high] = std::minmax_element(level.begin() + static_cast<std::ptrdiff_t>(from),
                                                     level.begin() + static_cast<std::ptrdiff_t>(to));
        const float middle = (*low + *high) / 2.0f;
        std::vector<std::size_t> rises;
        for (std::size_t k = from + 1; k < to; ++k) {
            if (level[k - 1] < middle && level[k] >= middle) rises.push_back(k * window);
        }
        return rises.size() < 2
                   ? 0.0
                   : static_cast<double>(rises.back() - rises.front()) / static_cast<double>(rises.size() - 1);
    };
    // An eighth-note LFO: 11024 frames at 120 bpm, 22048 at 60 bpm.
    EXPECT_NEAR(cycleIn(0, level.size() / 2), 11024.0, 110.0);
    EXPECT_NEAR(cycleIn(level.size() / 2, level.size()), 22048.0, 220.0);
}

TEST_F(RenderThroughPlugin, AProgramChunkBringsItsLoopAndItsValues) {
    ProgramRecord program;
    ParameterTable::fillDefaults(program);
    const std::string loop = loopFile(toneLoop(8));
    std::copy(loop.begin(), loop.end(), program.path);
    program.values[ParameterTable::slotOf(Parameter::ampSustain)] = 1.0f;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&program);
    const std::string preset = writeBytes(dir.file("preset.bin"), Bytes(bytes, bytes + sizeof program));
    Bytes bank;
    for (int i = 0; i < 16; ++i) bank.insert(bank.end(), bytes, bytes + sizeof program);
    const std::string bankFile = writeBytes(dir.file("bank.bin"), bank);

    const std::vector<float> fromLoop = render({"--loop", loop, "--midi", grooveOf(loop), "--param", "Amp Sus=1"}).left;
    EXPECT_EQ(render({"--program", preset, "--midi", dir.file("groove.mid")}).left, fromLoop);
    EXPECT_EQ(render({"--program", bankFile, "--midi", dir.file("groove.mid")}).left, fromLoop);
}

TEST_F(RenderThroughPlugin, ExportingAGrooveWritesWhatTheInstrumentsOwnWriterWrites) {
    const std::string loop = loopFile(toneLoop(8));
    const Bytes exported = readBytes(grooveOf(loop));
    EXPECT_EQ(exported, readBytes(writeGroove(loop, dir.file("direct.mid"))));
    EXPECT_EQ(MidiFileParser::parse(exported).events.size(), 16u);
}

TEST_F(RenderThroughPlugin, ThePluginSessionNoticesWhenTheInstrumentDoesNotTakeALoop) {
    PluginSession session(RenderCommand::defaultPlugin(), 512);
    const std::string loop = loopFile(toneLoop(2));
    session.loadLoop(loop);
    EXPECT_EQ(session.currentLoopPath(), loop);
    const std::string other = writeBytes(dir.file("other.rex"), {'n', 'o', 'p', 'e'});
    EXPECT_THROW(session.loadLoop(other), std::runtime_error);
    EXPECT_EQ(session.currentLoopPath(), loop);
}
