#include "export/OutputTarget.h"

#include <system_error>

namespace fs = std::filesystem;

std::string OutputTarget::refusal(const std::string& output, const std::vector<std::string>& inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(output, error);
    if (!fs::exists(status)) {
        const fs::path folder = fs::path(output).parent_path();
        return folder.empty() || fs::is_directory(folder, error)
                   ? ""
                   : "cannot create a file in " + folder.string() + ": there is no such folder";
    }
    if (!fs::is_regular_file(status)) return "will not write there: " + whatInstead(status);
    for (const std::string& input : inputs) {
        if (sameFile(output, input)) {
            return "the output is the same file as the input " + input + ", which writing would destroy";
        }
    }
    return "";
}

std::string OutputTarget::whatInstead(const fs::file_status& status) {
    switch (status.type()) {
        case fs::file_type::not_found: return "there is no such file";
        case fs::file_type::directory: return "it is a folder";
        case fs::file_type::fifo: return "it is a FIFO, not a regular file";
        case fs::file_type::block:
        case fs::file_type::character: return "it is a device, not a regular file";
        case fs::file_type::socket: return "it is a socket, not a regular file";
        default: return "it is not a regular file";
    }
}

bool OutputTarget::sameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    std::error_code error;
    return fs::equivalent(first, second, error) && !error;
}
