#include "RenderTesting.h"
#include "instrument/ProgramRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#if !defined(_WIN32)
#include "FileSizeLimit.h"

#include <sys/stat.h>
#endif

namespace {

// Files that are not what the tool expects, or outputs that would destroy something. Each run
// must end with one line, exit status 1, and every file as it was.
class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        loop = writeLoopFile(dir, "loop.rex", eightSliceLoop());
        groove = writeGroove(loop, dir.file("groove.mid"));
    }

    static void expectRefused(const std::vector<std::string>& args, const std::string& reason) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }

    // A program whose path field names `loopPath`.
    std::string programNaming(const std::string& loopPath) {
        Bytes record(sizeof(ProgramRecord), 0);
        std::memcpy(record.data(), loopPath.data(), loopPath.size());
        return writeBytes(dir.file("program.bin"), record);
    }

    TempDir dir;
    std::string loop;
    std::string groove;
};

// One track at the slowest tempo a file can state, one tick per quarter note, ending after `quarters`.
Bytes slowSong(std::uint32_t quarters) {
    MidiTrack track;
    track.tempo(0, 0xFFFFFF).note(0, 36);
    for (; quarters > 0x0FFFFFFF; quarters -= 0x0FFFFFFF) track.event(0x0FFFFFFF, {0xFF, 0x01, 0});
    return midiFile(0, 1, {track.end(quarters)});
}

}  // namespace

TEST_F(HostileFiles, AnOutputThatIsAnInputUnderAnotherSpellingIsRefused) {
    const Bytes song = readBytes(groove);
    const std::string sameSong = (dir.path() / "." / "groove.mid").string();
    expectRefused({"--loop", loop, "--midi", groove, "--output", sameSong}, "the same file as the input");
    EXPECT_EQ(readBytes(groove), song);

    const Bytes rex = readBytes(loop);
    expectRefused({"--loop", loop, "--export-groove", (dir.path() / "." / "loop.rex").string()}, "the same file");
    EXPECT_EQ(readBytes(loop), rex);

    expectRefused({"--program", programNaming(loop), "--midi", groove, "--output", loop}, "the same file");
    EXPECT_EQ(readBytes(loop), rex);
}

TEST_F(HostileFiles, InputsThatAreNoRegularFilesAreNamedWithTheReason) {
    expectRefused({"--loop", loop, "--midi", dir.path().string(), "--output", dir.file("out.wav")},
                  dir.path().string() + ": cannot open the MIDI file: it is a folder");
    expectRefused({"--loop", dir.path().string(), "--midi", groove, "--output", dir.file("out.wav")},
                  ": cannot open the loop file: it is a folder");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav")));
}

TEST_F(HostileFiles, AMidiFileLargerThanAnySongIsRefusedBeforeItIsRead) {
    const std::string huge = dir.file("huge.mid");
    writeBytes(huge, readBytes(groove));
    std::filesystem::resize_file(huge, (64u << 20) + 1);
    expectRefused({"--loop", loop, "--midi", huge, "--output", dir.file("out.wav")}, "huge.mid: 67108865 bytes");
}

TEST_F(HostileFiles, AProgramNamingAnUnusableLoopSaysWhatIsWrongWithIt) {
    expectRefused({"--program", programNaming(dir.file("gone.rex")), "--midi", groove, "--output", dir.file("o.wav")},
                  "gone.rex: cannot open the loop file: there is no such file");
    expectRefused({"--program", programNaming(dir.path().string()), "--midi", groove, "--output", dir.file("o.wav")},
                  "cannot open the loop file: it is a folder");
}

TEST_F(HostileFiles, ASongTooLongToCountOrForAWavFileFailsBeforeWriting) {
    // 2^44 quarter notes of 16.8 s: about 2^63.5 frames.
    const std::string endless = writeBytes(dir.file("endless.mid"), slowSong(0xFFFFFFFF));
    expectRefused({"--loop", loop, "--midi", endless, "--repeat", "4096", "--output", dir.file("out.wav")}, "too long");
    // 1000 quarter notes of 16.8 s: 4.7 hours, past the 3.4 hours of float audio a WAV file holds.
    const std::string long_ = writeBytes(dir.file("long.mid"), slowSong(1000));
    expectRefused({"--loop", loop, "--midi", long_, "--output", dir.file("out.wav")}, "too long for a WAV file");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav.part")));
}

#if !defined(_WIN32)
TEST_F(HostileFiles, DevicesAndFifosAreNeitherReadNorReplaced) {
    expectRefused({"--loop", loop, "--midi", "/dev/zero", "--output", dir.file("out.wav")},
                  "/dev/zero: cannot open the MIDI file: it is a device");
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectRefused({"--loop", loop, "--midi", fifo, "--output", dir.file("out.wav")}, "it is a FIFO");
    expectRefused({"--loop", loop, "--midi", groove, "--output", fifo}, fifo + ": will not write there: it is a FIFO");
    expectRefused({"--loop", loop, "--export-groove", fifo}, "it is a FIFO");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(HostileFiles, AGrooveExportThatCannotBeFlushedFailsAndKeepsTheEarlierFile) {
    const std::string earlier = writeBytes(dir.file("earlier.mid"), Bytes(40, 7));
    {
        const FileSizeLimit full(40);
        expectRefused({"--loop", loop, "--export-groove", earlier}, "cannot write " + earlier);
        // The message names the output the user gave, not the temporary file beside it.
        expectRefused({"--loop", loop, "--midi", groove, "--output", earlier}, "cannot write " + earlier + " (disk");
    }
    EXPECT_EQ(readBytes(earlier), Bytes(40, 7));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}
#endif
