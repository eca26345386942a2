#include "LoopFile.h"

#include "ToolFiles.h"

#include <stdexcept>

namespace {

const std::string& existing(const std::string& path) {
    ToolFiles::requireRegular(path, "loop file");
    return path;
}

}  // namespace

LoopFile::LoopFile(const std::string& path) : file(existing(path).c_str()), rex(file) {
    rex.parse();
    if (rex.failed()) {
        throw std::runtime_error(path + ": the instrument refuses this loop: " + rex.failureReason());
    }
    if (rex.sliceCount() == 0) throw std::runtime_error(path + ": the loop has no slices, so there is nothing to play");
}
