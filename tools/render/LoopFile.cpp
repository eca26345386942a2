#include "LoopFile.h"

#include <filesystem>
#include <stdexcept>

namespace {

const std::string& existing(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw std::runtime_error(path + ": no such loop file");
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
