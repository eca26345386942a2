#include "DrumHits.h"
#include "LoopFiles.h"
#include "TempDir.h"
#include "ToolRunning.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
        std::string& seen = entries[fs::relative(entry.path(), root).string()];
        if (entry.is_symlink()) {
            seen = "link to " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            seen = contentOf(entry.path().string());
        } else {
            seen = entry.is_directory() ? "folder" : "special file";
        }
    }
    return entries;
}

// One run of a tool: the file it reads, where it writes, and what comes before and after.
struct Scene {
    std::string input;
    std::string output;
    std::string limit;
    std::string options;
};
using Setup = std::function<void(const TempDir&, Scene&)>;

struct Row {
    std::string tool;
    std::string what;
    Setup setup;
    int status;
    std::string message;
};

// The output at `name` in the test's folder, prepared by `prepare` (given the input and the output).
Setup outputAt(const std::string& name, std::function<void(Scene&)> prepare = {}) {
    return [name, prepare](const TempDir& dir, Scene& scene) {
        scene.output = dir.file(name);
        if (prepare) prepare(scene);
    };
}

// The loop under another name, the kit going to a new folder.
Setup loopRenamed(const std::string& name) {
    return outputAt("kit", [name](Scene& s) {
        const std::string renamed = fs::path(s.input).replace_filename(name).string();
        fs::rename(s.input, renamed);
        s.input = renamed;
    });
}

void fifo(const std::string& path) { mkfifo(path.c_str(), 0600); }
void fullDisk(Scene& scene) { scene.limit = "ulimit -f 1; "; }

std::string commandFor(const std::string& tool, const Scene& scene, const std::string& loop) {
    const std::string in = quoted(scene.input);
    const std::string out = quoted(scene.output);
    const std::string rex = BREVATONE_REX_TOOL;
    const std::string render = BREVATONE_RENDER_TOOL;
    if (tool == "make") return rex + " make " + in + " " + out + " --bars 1 --tempo 120 --slices 0";
    if (tool == "kit") return rex + " kit " + in + " " + out + scene.options;
    if (tool == "render")
        return render + " --loop " + quoted(loop) + " --midi " + in + " --output " + out + " --tail 0";
    return render + " --loop " + in + " --export-groove " + out;
}

std::vector<Row> refusals() {
    const std::string sameFile = "the output is the same file as the input";
    std::vector<Row> rows;
    for (const std::string tool : {"make", "render", "export-groove"}) {
        const std::vector<Row> forTool = {
            {tool, "the output is the input", [](const TempDir&, Scene& s) { s.output = s.input; }, 1, sameFile},
            {tool, "a symbolic link to the input",
             outputAt("link", [](Scene& s) { fs::create_symlink(s.input, s.output); }), 1, sameFile},
            {tool, "a hard link to the input",
             outputAt("hard", [](Scene& s) { fs::create_hard_link(s.input, s.output); }), 1, sameFile},
            {tool, "a device", [](const TempDir&, Scene& s) { s.output = "/dev/null"; }, 1, "it is a device"},
            {tool, "a FIFO", outputAt("fifo", [](Scene& s) { fifo(s.output); }), 1, "it is a FIFO"},
            {tool, "an empty folder", outputAt("folder", [](Scene& s) { fs::create_directory(s.output); }), 1,
             "it is a folder"},
            {tool, "a missing folder", outputAt("missing/out"), 1, "there is no such folder"},
            {tool, "a full disk over an earlier file",
             outputAt("earlier",
                      [](Scene& s) {
                          writeBytes(s.output, {'o', 'l', 'd'});
                          fullDisk(s);
                      }),
             1, "cannot write"},
            {tool, "OUT.part a link to the input",
             outputAt("new",
                      [](Scene& s) {
                          fs::create_symlink(s.input, s.output + ".part");
                          fifo(s.output + ".tmp");
                      }),
             0, ""},
            {tool, "the input named OUT.part",
             outputAt("named",
                      [](Scene& s) {
                          fs::rename(s.input, s.output + ".part");
                          s.input = s.output + ".part";
                      }),
             0, ""},
        };
        rows.insert(rows.end(), forTool.begin(), forTool.end());
    }
    const std::vector<Row> kit = {
        {"kit", "the folder is the loop", [](const TempDir&, Scene& s) { s.output = s.input; }, 1,
         "will not write a kit there"},
        {"kit", "the folder is a device", [](const TempDir&, Scene& s) { s.output = "/dev/null"; }, 1,
         "it is a device"},
        {"kit", "the folder's parent is missing", outputAt("missing/kit"), 1, "cannot make the folder"},
        {"kit", "a name is taken",
         outputAt("kit",
                  [](Scene& s) {
                      fs::create_directory(s.output);
                      writeBytes(s.output + "/loop.sfz", {'o', 'w', 'n'});
                  }),
         1, "exists; give --force to replace it"},
        {"kit", "--force, a name links to the loop",
         outputAt("kit",
                  [](Scene& s) {
                      fs::create_directory(s.output);
                      fs::create_symlink(s.input, s.output + "/loop_002.wav");
                      fs::create_hard_link(s.input, s.output + "/loop.sfz");
                      s.options = " --force";
                  }),
         1, sameFile},
        {"kit", "a full disk in a new folder", outputAt("kit", fullDisk), 1, "cannot write"},
        {"kit", "a loop name that would add a line to the SFZ", loopRenamed("two\nlines.rex"), 1,
         "cannot stand in an SFZ file"},
        {"kit", "a loop name that would add an opcode to the SFZ", loopRenamed("drums key=99.rex"), 1,
         "cannot stand in an SFZ file"},
        {"kit", "a full disk over an earlier kit",
         outputAt("kit",
                  [](Scene& s) {
                      fs::create_directory(s.output);
                      writeBytes(s.output + "/loop_001.wav", {'o', 'l', 'd'});
                      fullDisk(s);
                      s.options = " --force --groove";
                  }),
         1, "cannot write"},
    };
    rows.insert(rows.end(), kit.begin(), kit.end());
    return rows;
}

TEST(OutputRefusal, NoToolDestroysWhatItWouldWriteOverOrLeavesAPartialFile) {
    for (const Row& row : refusals()) {
        SCOPED_TRACE(row.tool + ": " + row.what);
        TempDir dir;
        // 92 slices, so that even the groove passes the file-size limit.
        const std::string loop = writeLoopFile(dir, "loop.rex", loopWithPositions(std::vector<uint16_t>(92, 0), 3840));
        Scene scene{loop, "", "", ""};
        if (row.tool == "make") scene.input = writeWav16(dir.file("take.wav"), drumHits(4000, {0, 2000}));
        if (row.tool == "render") {
            MidiTrack song;
            scene.input = writeBytes(dir.file("song.mid"), midiFile(0, 960, {song.note(0, 36).note(480, 36, 0).end()}));
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
