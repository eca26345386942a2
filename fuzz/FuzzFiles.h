#pragma once

// What the fuzz targets share: a private folder for the files they hand the code under test, and
// a check that stops the run where a libFuzzer report shows it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fuzzing {

inline void require(bool condition) {
    if (!condition) __builtin_trap();
}

// A folder of this process's own, removed when the process ends.
inline const std::filesystem::path& folder() {
    static const struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("brevatone-fuzz-" + std::to_string(getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } made;
    return made.path;
}

inline std::string writeFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = (folder() / name).string();
    FILE* out = std::fopen(path.c_str(), "wb");
    require(out != nullptr);
    require(std::fwrite(data, 1, size, out) == size);
    std::fclose(out);
    return path;
}

}  // namespace fuzzing

#include "loopfile/RexFileWriter.h"

#include <cmath>

namespace fuzzing {

// A loop every target that plays may name: eight slices of full-scale sound. Seeds and fuzzers
// write the same bytes to the same place, each through a rename, so neither sees half a file.
inline std::string sharedLoopPath() {
    return (std::filesystem::temp_directory_path() / "brevatone-fuzz-loop.rex").string();
}

inline void writeSharedLoop() {
    RexLoopContent loop;
    loop.loopLength = 8 * 480;
    for (std::uint32_t i = 0; i < 8 * 256; ++i) {
        loop.samples.push_back(static_cast<float>(std::sin(0.05 * i * (1 + i / 256))) * 0.99f);
    }
    for (std::uint32_t i = 0; i < 8; ++i) {
        loop.slices.push_back({i * 256, 256, static_cast<std::uint16_t>(i * 480)});
    }
    const std::string path = (folder() / "loop.rex").string();
    require(RexFileWriter::forLoop(loop).write(path));
    std::filesystem::rename(path, sharedLoopPath());
}

}  // namespace fuzzing
