#include "DrumHits.h"
#include "LoopFiles.h"
#include "TempDir.h"
#include "ToolRunning.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Everything under a folder, links and special files as what they are, never followed.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink()) {
            entries[name] = "link to " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            entries[name] = contentOf(entry.path().string());
        } else {
            entries[name] = entry.is_directory() ? "folder" : "special file";
        }
    }
    return entries;
}

// One run of a tool: the file it reads, where it writes, and what comes before the command.
struct Scene {
    std::string input;
    std::string output;
    std::string limit;
    std::string options;
};

struct Row {
    std::string tool;
    std::string what;
    std::function<void(const TempDir&, Scene&)> setup;
    int status;
    std::string message;
};

void writeWav(const std::string& path) {
    const SoundFile sound = drumHits(4000, {0, 2000});
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = 44100;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_short(file, sound.pcm.data(), sound.frames());
    sf_close(file);
}

void writeSong(const std::string& path) {
    // One note of an eighth at 960 ticks per quarter note.
    const std::vector<std::uint8_t> header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xC0};
    const std::vector<std::uint8_t> events = {0x00, 0x90, 36, 100, 0x83, 0x60, 0x80, 36, 0, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<std::uint8_t> song = header;
    song.insert(song.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(events.size())});
    song.insert(song.end(), events.begin(), events.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
}

const std::string rexTool = BREVATONE_REX_TOOL;
const std::string renderTool = BREVATONE_RENDER_TOOL;

// The loop every tool reads: 92 slices, so that even its groove passes the file-size limit below.
std::string commandFor(const std::string& tool, const Scene& scene, const std::string& loop) {
    const std::string out = quoted(scene.output);
    if (tool == "make")
        return rexTool + " make " + quoted(scene.input) + " " + out + " --bars 1 --tempo 120 --slices 0";
    if (tool == "kit") return rexTool + " kit " + quoted(scene.input) + " " + out + scene.options;
    if (tool == "render") {
        return renderTool + " --loop " + quoted(loop) + " --midi " + quoted(scene.input) + " --output " + out +
               " --tail 0";
    }
    return renderTool + " --loop " + quoted(scene.input) + " --export-groove " + out;
}

void setOutput(const TempDir& dir, Scene& scene, const std::string& name) { scene.output = dir.file(name); }

const std::vector<std::string> fileTools = {"make", "render", "export-groove"};

std::vector<Row> refusals() {
    std::vector<Row> rows;
    for (const std::string& tool : fileTools) {
        const std::vector<Row> forTool = {
            {tool, "the output is the input", [](const TempDir&, Scene& s) { s.output = s.input; }, 1,
             "the output is the same file as the input"},
            {tool, "the output is a symbolic link to the input",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "link");
                 fs::create_symlink(s.input, s.output);
             },
             1, "the output is the same file as the input"},
            {tool, "the output is a hard link to the input",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "hard");
                 fs::create_hard_link(s.input, s.output);
             },
             1, "the output is the same file as the input"},
            {tool, "the output is a device", [](const TempDir&, Scene& s) { s.output = "/dev/null"; }, 1,
             "it is a device"},
            {tool, "the output is a FIFO",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "fifo");
                 mkfifo(s.output.c_str(), 0600);
             },
             1, "it is a FIFO"},
            {tool, "the output is an empty folder",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "folder");
                 fs::create_directory(s.output);
             },
             1, "it is a folder"},
            {tool, "the output's folder is missing", [](const TempDir& d, Scene& s) { setOutput(d, s, "missing/out"); },
             1, "there is no such folder"},
            {tool, "the disk fills up over an earlier file",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "earlier");
                 std::ofstream(s.output) << "an earlier result";
                 s.limit = "ulimit -f 1; ";
             },
             1, "cannot write"},
            {tool, "OUT.part is a link to the input, a FIFO beside it",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "new");
                 fs::create_symlink(s.input, s.output + ".part");
                 mkfifo((s.output + ".tmp").c_str(), 0600);
             },
             0, ""},
            {tool, "the input is named OUT.part",
             [](const TempDir& d, Scene& s) {
                 setOutput(d, s, "named");
                 fs::rename(s.input, s.output + ".part");
                 s.input = s.output + ".part";
             },
             0, ""},
        };
        rows.insert(rows.end(), forTool.begin(), forTool.end());
    }
    const std::vector<Row> kit = {
        {"kit", "the folder is a file, the loop itself", [](const TempDir&, Scene& s) { s.output = s.input; }, 1,
         "will not write a kit there"},
        {"kit", "the folder is a device", [](const TempDir&, Scene& s) { s.output = "/dev/null"; }, 1,
         "it is a device"},
        {"kit", "the folder's parent is missing", [](const TempDir& d, Scene& s) { setOutput(d, s, "missing/kit"); }, 1,
         "cannot make the folder"},
        {"kit", "a file of the kit's names is there",
         [](const TempDir& d, Scene& s) {
             setOutput(d, s, "kit");
             fs::create_directory(s.output);
             std::ofstream(s.output + "/loop.sfz") << "someone's own instrument";
         },
         1, "exists; give --force to replace it"},
        {"kit", "with --force, a name is a symbolic link to the loop",
         [](const TempDir& d, Scene& s) {
             setOutput(d, s, "kit");
             fs::create_directory(s.output);
             fs::create_symlink(s.input, s.output + "/loop_002.wav");
             s.options = " --force";
         },
         1, "the output is the same file as the input"},
        {"kit", "with --force, a name is a hard link to the loop",
         [](const TempDir& d, Scene& s) {
             setOutput(d, s, "kit");
             fs::create_directory(s.output);
             fs::create_hard_link(s.input, s.output + "/loop.sfz");
             s.options = " --force";
         },
         1, "the output is the same file as the input"},
        {"kit", "the disk fills up in a new folder",
         [](const TempDir& d, Scene& s) {
             setOutput(d, s, "kit");
             s.limit = "ulimit -f 1; ";
         },
         1, "cannot write"},
        {"kit", "the disk fills up over an earlier kit",
         [](const TempDir& d, Scene& s) {
             setOutput(d, s, "kit");
             fs::create_directory(s.output);
             std::ofstream(s.output + "/loop_001.wav") << "an earlier slice";
             s.limit = "ulimit -f 1; ";
             s.options = " --force --groove";
         },
         1, "cannot write"},
    };
    rows.insert(rows.end(), kit.begin(), kit.end());
    return rows;
}

TEST(OutputRefusal, NoToolDestroysWhatItWouldWriteOverOrLeavesAPartialFile) {
    for (const Row& row : refusals()) {
        SCOPED_TRACE(row.tool + ": " + row.what);
        TempDir dir;
        const std::string loop = writeLoopFile(dir, "loop.rex", loopWithPositions(std::vector<uint16_t>(92, 0), 3840));
        Scene scene;
        if (row.tool == "make") {
            scene.input = dir.file("take.wav");
            writeWav(scene.input);
        } else if (row.tool == "render") {
            scene.input = dir.file("song.mid");
            writeSong(scene.input);
        } else {
            scene.input = loop;
        }
        row.setup(dir, scene);
        const std::string input = contentOf(scene.input);
        const std::map<std::string, std::string> before = snapshot(dir.path());

        const ToolRun run = runShell(dir, scene.limit + "timeout 60 " + commandFor(row.tool, scene, loop));
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(contentOf(scene.input), input);
        std::map<std::string, std::string> after = snapshot(dir.path());
        if (row.status == 0) {
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(scene.output)));
            after.erase(fs::relative(scene.output, dir.path()).string());
        }
        EXPECT_EQ(after, before);
    }
}

}  // namespace
