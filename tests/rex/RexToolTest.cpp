#include "DrumHits.h"
#include "LoopFiles.h"
#include "TempDir.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/RexFileWriter.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RexToolTest : public ::testing::Test {
protected:
    ToolRun run(const std::string& args) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const std::string command = std::string(BREVATONE_REX_TOOL) + " " + args + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contentOf(out), contentOf(err)};
    }

    std::string writeWav(const SoundFile& sound, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
        const std::string path = dir.file("hits.wav");
        SF_INFO info{};
        info.channels = sound.channels;
        info.samplerate = sound.sampleRate;
        info.format = format;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_writef_short(file, sound.pcm.data(), sound.frames());
        sf_close(file);
        return path;
    }

    TempDir dir;
};

const char* const eightSliceTable =
    "  slice  note       start      length  position\n"
    "      0    36           0       22050         0\n"
    "      1    37       22050       22050       960\n"
    "      2    38       44100       22050      1920\n"
    "      3    39       66150       22050      2880\n"
    "      4    40       88200       22050      3840\n"
    "      5    41      110250       22050      4800\n"
    "      6    42      132300       22050      5760\n"
    "      7    43      154350       22050      6720\n";

TEST_F(RexToolTest, InfoPrintsBackTheLoopThatMakeBuiltFromGivenSlices) {
    const std::string wav = writeWav(drumHits(176400, eightQuarterNoteHits()));
    const std::string rex = dir.file("hits.rex");
    const ToolRun made = run("make " + wav + " " + rex +
                             " --bars 2 --tempo 120 --slices 0,22050,44100,66150,88200,110250,132300,154350");
    ASSERT_EQ(made.status, 0) << made.err;
    const ToolRun info = run("info " + rex);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "file: " + rex + "\n" +
                            "format: mono, 16 bits, 44100 Hz, 176400 frames, 176400 sample values\n"
                            "tempo: 120.000 bpm\n"
                            "loop length: 7680 ticks (8.000 quarter notes)\n"
                            "slices: 8\n" +
                            eightSliceTable);
}

TEST_F(RexToolTest, MakeWithDetectSlicesADrumLoopAtItsHits) {
    const std::string wav = writeWav(drumHits(176400, eightQuarterNoteHits()));
    const std::string rex = dir.file("hits.rex");
    ASSERT_EQ(run("make " + wav + " " + rex + " --bars 2 --tempo 120 --detect").status, 0);
    const ToolRun info = run("info " + rex);
    EXPECT_NE(info.out.find(std::string("slices: 8\n") + eightSliceTable), std::string::npos) << info.out;
}

TEST_F(RexToolTest, StereoInputKeepsBothChannelsInterleaved) {
    const std::string wav = writeWav(drumHits(1000, {0, 500}, 2, 48000));
    const std::string rex = dir.file("stereo.rex");
    ASSERT_EQ(run("make " + wav + " " + rex + " --bars 1 --tempo 96.5 --slices 0,480").status, 0);
    const ToolRun info = run("info " + rex);
    EXPECT_NE(info.out.find("format: stereo, 16 bits, 48000 Hz, 1000 frames, 2000 sample values\n"
                            "tempo: 96.500 bpm\n"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("      1    37         960        1040        15\n"), std::string::npos) << info.out;
}

TEST_F(RexToolTest, InfoOnARefusedFileGivesOneLineErrorAndFailure) {
    RexFileWriter writer =
        RexFileWriter::forLoop(RexFileWriter::monoLoop(std::vector<float>(10), {0}, {0}, 120.0, 3840));
    writer.chunk("APPL").body[0] = 'X';
    const std::string rex = dir.file("foreign.rex");
    ASSERT_TRUE(writer.write(rex));
    const ToolRun info = run("info " + rex);
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.out, "");
    EXPECT_EQ(info.err, "brevatone-rex: " + rex +
                            " is not a usable REX loop: the APPL chunk belongs to another application than REX\n");
}

TEST_F(RexToolTest, MakeThatFailsLeavesNoOutputFile) {
    const std::string wav = writeWav(drumHits(1000, {}));
    const std::string rex = dir.file("out.rex");
    const std::string fifo = dir.file("input.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A header that declares one stereo frame past the limit, in a sparse file that costs no disk.
    const std::string huge = dir.file("huge.wav");
    {
        const std::uint32_t dataBytes = (std::uint32_t{1} << 27) + 4;
        SoundFile stereo;
        stereo.channels = 2;
        stereo.sampleRate = 44100;
        stereo.pcm.assign(2, 0);
        std::filesystem::rename(writeWav(stereo), huge);
        std::fstream header(huge, std::ios::in | std::ios::out | std::ios::binary);
        const std::uint8_t riff[4] = {std::uint8_t(dataBytes + 36), std::uint8_t((dataBytes + 36) >> 8),
                                      std::uint8_t((dataBytes + 36) >> 16), std::uint8_t((dataBytes + 36) >> 24)};
        const std::uint8_t data[4] = {std::uint8_t(dataBytes), std::uint8_t(dataBytes >> 8),
                                      std::uint8_t(dataBytes >> 16), std::uint8_t(dataBytes >> 24)};
        header.seekp(4).write(reinterpret_cast<const char*>(riff), 4);
        header.seekp(40).write(reinterpret_cast<const char*>(data), 4);
        header.close();
        std::filesystem::resize_file(huge, 44 + dataBytes);
    }
    const std::vector<std::pair<std::string, std::string>> refused = {
        {wav + " --bars 1 --tempo 120 --slices 0,5000", ""},
        {wav + " --bars 0 --tempo 120 --detect", "--bars must be given, from 1 to 17"},
        {wav + " --bars 4294967296 --tempo 120 --detect", "--bars must be given, from 1 to 17"},
        {wav + " --bars 2.5 --tempo 120 --detect", "--bars wants a whole number"},
        {wav + " --bars 1 --tempo 120 --slices 0,4294967296", "--slices: frame 4294967296 lies past any loop"},
        {wav + " --bars 1 --tempo fast --detect", "--tempo wants a number"},
        {wav + " --bars 1 --tempo 120", "give either --slices or --detect"},
        {wav + " --bars 1 --tempo 120 --detect --slices 0", "give either --slices or --detect"},
        {fifo + " --bars 1 --tempo 120 --detect", fifo + ": cannot open the input: it is a FIFO"},
        {huge + " --bars 1 --tempo 120 --detect", std::string("holds more than ") + maximumLoopSamplesText}};
    for (const auto& [arguments, reason] : refused) {
        const std::string input = arguments.substr(0, arguments.find(' '));
        const ToolRun made = run("make " + input + " " + rex + arguments.substr(input.size()));
        EXPECT_EQ(made.status, 1) << arguments;
        EXPECT_EQ(std::count(made.err.begin(), made.err.end(), '\n'), 1) << made.err;
        EXPECT_NE(made.err.find(reason), std::string::npos) << made.err;
        EXPECT_FALSE(std::filesystem::exists(rex)) << arguments;
    }
}

TEST_F(RexToolTest, MakeRefusesInputThatIsNotSixteenBit) {
    const std::string wav = writeWav(drumHits(1000, {}), SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    const ToolRun made = run("make " + wav + " " + dir.file("out.rex") + " --bars 1 --tempo 120 --detect");
    EXPECT_EQ(made.status, 1);
    EXPECT_NE(made.err.find("does not hold 16-bit samples"), std::string::npos) << made.err;
}

TEST_F(RexToolTest, EachCommandExplainsItselfWithHelp) {
    const ToolRun make = run("make --help");
    EXPECT_EQ(make.status, 0);
    EXPECT_EQ(make.out.rfind("usage: brevatone-rex make", 0), 0u) << make.out;
    const ToolRun info = run("info --help");
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out.rfind("usage: brevatone-rex info", 0), 0u) << info.out;
    const ToolRun kit = run("kit --help");
    EXPECT_EQ(kit.status, 0);
    EXPECT_EQ(kit.out.rfind("usage: brevatone-rex kit", 0), 0u) << kit.out;
    EXPECT_NE(run("").status, 0);
    EXPECT_EQ(run("play x.rex").status, 1);
}

TEST_F(RexToolTest, InfoMarksSlicesThatNoNoteReachesOrTheInstrumentDoesNotKeep) {
    const std::vector<uint16_t> positions(300, 0);
    const std::string rex = writeLoopFile(dir, "many.rex", loopWithPositions(positions, 3840));
    const ToolRun info = run("info " + rex);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\n     91   127         364           4         0\n"), std::string::npos) << info.out;
    EXPECT_NE(
        info.out.find("\n     92     -         368           4         0  not playable: no MIDI note reaches it\n"),
        std::string::npos);
    EXPECT_NE(info.out.find("\n    256     -        1024           4         0  not playable: past the 256 slices the "
                            "instrument keeps\n"),
              std::string::npos);
}

// The reader refuses a rate that is no number or none a sound can have, so no kit of 2 Hz files
// comes of it either.
TEST_F(RexToolTest, ASampleRateThatIsNoNumberOrOutOfRangeIsRefused) {
    const std::vector<std::pair<std::array<uint8_t, 10>, std::string>> rates = {
        {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, "format: mono, 16 bits, 44100 Hz,"},
        {{0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0}, "the sample rate is not a number\n"},
        {{0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}, "the sample rate inf Hz is out of range"},
        {{0x40, 0x3F, 0x80, 0, 0, 0, 0, 0, 0, 0}, "the sample rate 1.84467e+19 Hz is out of range"},
        {{0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, "the sample rate -44100 Hz is out of range"},
        {{0x3F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0}, "the sample rate 0.5 Hz is out of range"}};
    for (const auto& [rate, text] : rates) {
        RexFileWriter writer = RexFileWriter::forLoop(eightSliceLoop());
        std::copy(rate.begin(), rate.end(), writer.chunk("COMM").body.begin() + 8);
        const std::string rex = dir.file("rate.rex");
        ASSERT_TRUE(writer.write(rex));
        const ToolRun info = run("info " + rex);
        EXPECT_NE((info.out + info.err).find(text), std::string::npos) << info.out << info.err;
        const ToolRun kit = run("kit " + rex + " " + dir.file("kit"));
        EXPECT_EQ(kit.status, info.status) << kit.err;
    }
}

}  // namespace
