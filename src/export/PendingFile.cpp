#include "export/PendingFile.h"

#include <filesystem>
#include <utility>

PendingFile::PendingFile(std::string finalPath) : destination(std::move(finalPath)), temporary(destination + ".part") {}

PendingFile::~PendingFile() {
    if (committed) return;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
}

bool PendingFile::replaceable() const {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(destination, error);
    return !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
}

std::error_code PendingFile::commit() {
    std::error_code error;
    if (!replaceable()) return std::make_error_code(std::errc::file_exists);
    std::filesystem::rename(temporary, destination, error);
    committed = !error;
    return error;
}
