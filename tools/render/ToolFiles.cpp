#include "ToolFiles.h"

#include "export/OutputTarget.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

void ToolFiles::requireRegular(const std::string& path, const std::string& what) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_regular_file(status)) return;
    const std::string reason =
        error && status.type() != fs::file_type::not_found ? error.message() : OutputTarget::whatInstead(status);
    throw std::runtime_error(path + ": cannot open the " + what + ": " + reason);
}

std::vector<std::uint8_t> ToolFiles::read(const std::string& path, const std::string& what, std::uintmax_t largest) {
    requireRegular(path, what);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) throw std::runtime_error(path + ": cannot read the " + what + ": " + error.message());
    if (size > largest) {
        throw std::runtime_error(path + ": " + std::to_string(size) + " bytes is more than a " + what + " holds (" +
                                 std::to_string(largest) + " at most)");
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!in || in.gcount() != static_cast<std::streamsize>(size)) {
        throw std::runtime_error(path + ": cannot read the " + what);
    }
    return bytes;
}

void ToolFiles::requireWritable(const std::string& output, const std::vector<std::string>& inputs) {
    const std::string refusal = OutputTarget::refusal(output, inputs);
    if (!refusal.empty()) throw std::runtime_error(output + ": " + refusal);
}
