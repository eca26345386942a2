#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Whether a file may be written at a path without destroying something the user did not mean to
// give up. The answers are reasons in words, empty when the write may go ahead, so that the
// instrument can show them and the tools can put them in their one-line errors.
class OutputTarget {
public:
    // Why `output` must not receive a file: something other than a regular file stands there (a
    // folder, a device, a FIFO, a socket), which a rename would replace or a write would hang on, or
    // it is the same file as one of `inputs`, by any spelling, symbolic link or hard link, or the
    // folder it would go in does not exist.
    static std::string refusal(const std::string& output, const std::vector<std::string>& inputs);
    // Why a path whose status is `status` cannot be used as a regular file.
    static std::string whatInstead(const std::filesystem::file_status& status);
    // Whether the two paths name one existing file; false when either does not exist.
    static bool sameFile(const std::string& first, const std::string& second);
};
