#include "RenderOptions.h"
#include "RenderTesting.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Every bad input ends the same way: one line naming the problem, exit status 1, and nothing
// left in the output folder but what was there before.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        loop = writeLoopFile(dir, "loop.rex", eightSliceLoop());
        groove = writeGroove(loop, dir.file("groove.mid"));
        std::filesystem::create_directory(outputs);
    }

    void expectRefused(std::vector<std::string> args, const std::string& reason) {
        const std::string output = (outputs / "out.wav").string();
        args.insert(args.end(), {"--output", output});
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("brevatone-render: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(outputs));
    }

    TempDir dir;
    std::filesystem::path outputs = dir.path() / "outputs";
    std::string loop;
    std::string groove;
};

}  // namespace

TEST_F(BadInput, AMissingLoopOrMidiFile) {
    expectRefused({"--loop", dir.file("none.rex"), "--midi", groove},
                  "none.rex: cannot open the loop file: there is no such file");
    expectRefused({"--loop", loop, "--midi", dir.file("none.mid")}, "none.mid: cannot open the MIDI file");
}

TEST_F(BadInput, AFileThatIsNotMidi) {
    expectRefused({"--loop", loop, "--midi", loop}, "loop.rex: not a Standard MIDI File");
    const Bytes midi = readBytes(groove);
    const std::string cut = writeBytes(dir.file("cut.mid"), Bytes(midi.begin(), midi.end() - 5));
    expectRefused({"--loop", loop, "--midi", cut}, "cut.mid: the MIDI file is truncated");
}

TEST_F(BadInput, ALoopTheInstrumentRefuses) {
    expectRefused({"--loop", groove, "--midi", groove},
                  "groove.mid: the instrument refuses this loop: neither an AIFF nor a WAV file");
    RexFileWriter foreign = RexFileWriter::forLoop(eightSliceLoop());
    foreign.chunk("APPL").body[0] = 'X';
    const std::string path = dir.file("foreign.rex");
    foreign.write(path);
    expectRefused({"--loop", path, "--midi", groove}, "belongs to another application");
}

TEST_F(BadInput, AnUnknownParameterOrAValueOutOfRange) {
    expectRefused({"--loop", loop, "--midi", groove, "--param", "Amp Sus=1", "--param", "Volume=1"},
                  "unknown parameter \"Volume\"");
    expectRefused({"--loop", loop, "--midi", groove, "--param", "9=1"}, "no parameter with index 9");
    expectRefused({"--loop", loop, "--midi", groove, "--param", "Amp Sus=2"}, "a value from 0 to 1");
}

TEST_F(BadInput, AProgramChunkOfAnotherSizeOrWithoutALoop) {
    const std::string odd = writeBytes(dir.file("odd.bin"), Bytes(1000, 0));
    expectRefused({"--program", odd, "--midi", groove}, "odd.bin: a program chunk holds 1100 bytes");
    const std::string empty = writeBytes(dir.file("empty.bin"), Bytes(1100, 0));
    expectRefused({"--program", empty, "--midi", groove}, "empty.bin: the program names no loop");
}

TEST_F(BadInput, APluginLibraryThatCannotBeLoaded) {
    expectRefused({"--loop", loop, "--midi", groove, "--plugin", loop}, "cannot load the plug-in");
}

TEST_F(BadInput, AFailedRenderLeavesAnEarlierOutputFileAsItWas) {
    const std::string output = (outputs / "out.wav").string();
    writeBytes(output, {1, 2, 3});
    const ToolRun run = runTool({"--loop", loop, "--midi", groove, "--param", "Volume=1", "--output", output});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readBytes(output), (Bytes{1, 2, 3}));
}

TEST_F(BadInput, AnOutputFolderThatDoesNotExist) {
    const ToolRun run = runTool({"--loop", loop, "--midi", groove, "--output", dir.file("no/such/out.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
}

TEST_F(BadInput, AGrooveExportFromARefusedLoopWritesNothing) {
    const std::string exported = (outputs / "groove.mid").string();
    const ToolRun run = runTool({"--loop", groove, "--export-groove", exported});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("refuses this loop"), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::is_empty(outputs));
}

TEST(RenderCommand, WithoutArgumentsShowsTheUsageAndFails) {
    const ToolRun run = runTool({});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, RenderOptions::usage());
}
