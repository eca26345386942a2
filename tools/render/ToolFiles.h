#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the render tool asks of the files it is given: inputs must be regular files of a sane size,
// and an output must neither stand where a device or FIFO is nor be one of the inputs, which the
// write would destroy. Every refusal is a std::runtime_error whose one line names the path.
class ToolFiles {
public:
    // Throws unless `path` names a regular file; `what` says what the file was meant to be.
    static void requireRegular(const std::string& path, const std::string& what);
    // The whole of a regular file of at most `largest` bytes.
    static std::vector<std::uint8_t> read(const std::string& path, const std::string& what, std::uintmax_t largest);
    // Throws when `output` exists but is not a regular file, is the same file as one of the inputs, or
    // would go in a folder that does not exist.
    static void requireWritable(const std::string& output, const std::vector<std::string>& inputs);
};
