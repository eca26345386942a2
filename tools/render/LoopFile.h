#pragma once

#include "loopfile/InputFile.h"
#include "loopfile/LoopReader.h"

#include <string>

// A loop (REX, or WAV or AIFF cut at its hits) read with the instrument's own reader, so that a file
// the instrument would refuse is refused here first, with the reader's reason, before anything is
// rendered, and an audio loop is cut into the slices the instrument plays.
class LoopFile {
public:
    // Throws std::runtime_error with a one-line reason when the file is missing, not a regular file, refused or has no
    // slices.
    explicit LoopFile(const std::string& path);

    const LoopReader& reader() const { return rex; }

private:
    InputFile file;
    LoopReader rex;
};
