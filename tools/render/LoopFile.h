#pragma once

#include "loopfile/InputFile.h"
#include "loopfile/RexReader.h"

#include <string>

// A REX loop read with the instrument's own reader, so that a file the instrument would refuse is
// refused here first, with the reader's reason, before anything is rendered.
class LoopFile {
public:
    // Throws std::runtime_error with a one-line reason when the file is missing, not a regular file, refused or has no
    // slices.
    explicit LoopFile(const std::string& path);

    const RexReader& reader() const { return rex; }

private:
    InputFile file;
    RexReader rex;
};
