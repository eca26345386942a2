#include "LoopFiles.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
std::string runAndCapture(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        if (pclose(pipe) != 0) output += "exit status not zero\n";
    }
    return output;
}
}  // namespace

// Debian's mido is a MIDI reader written with no knowledge of this code: if it sees the notes,
// ticks and tempo we meant, sequencers will too.
TEST(GrooveReadByMido, AnIndependentReaderSeesTheNotesTicksAndTempo) {
    TempDir dir;
    ReadLoop read(writeLoopFile(dir, "loop.rex", loopWithPositions({0, 960, 1440, 2880}, 3840, 128000)));
    const std::string groove = dir.file("groove.mid");
    OutputFile output(groove.c_str());
    writeMidiGroove(read.reader, output);
    output.close();

    const std::string seen = runAndCapture("/usr/bin/python3 " BREVATONE_READ_GROOVE_SCRIPT " " + groove);
    EXPECT_EQ(seen,
              "type 1 tracks 2 division 960\n"
              "tempo 468750\n"
              "note 36 at 0 for 960\n"
              "note 37 at 960 for 480\n"
              "note 38 at 1440 for 1440\n"
              "note 39 at 2880 for 960\n");
}
