#include "OutputBatch.h"

#include "ToolError.h"

#include <fstream>

void OutputBatch::add(const std::string& destination, const std::vector<std::uint8_t>& bytes) {
    auto file = std::make_unique<PendingFile>(destination);
    if (file->path().empty()) {
        throw ToolError("cannot create a file beside " + destination + ": " + file->failure().message());
    }
    std::ofstream stream(file->path(), std::ios::out | std::ios::trunc | std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    if (stream.fail()) throw ToolError("cannot write " + destination + " (disk full or not writable?)");
    files.push_back(std::move(file));
    total += bytes.size();
}

void OutputBatch::commit() {
    for (const std::unique_ptr<PendingFile>& file : files) {
        if (const std::error_code error = file->commit()) {
            throw ToolError("cannot move the finished file to " + file->target() + ": " + error.message());
        }
    }
}
