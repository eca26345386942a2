#include "PendingFile.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

PendingFile::PendingFile(std::string finalPath) : destination(std::move(finalPath)), temporary(destination + ".part") {}

PendingFile::~PendingFile() {
    if (committed) return;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
}

void PendingFile::commit() {
    std::error_code error;
    std::filesystem::rename(temporary, destination, error);
    if (error) throw std::runtime_error("cannot move the finished file to " + destination + ": " + error.message());
    committed = true;
}
