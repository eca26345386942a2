#include "export/OutputFile.h"

#include <exception>

OutputFile::OutputFile(const char* path) {
    if (!path) return;
    try {
        pending = std::make_unique<PendingFile>(path);
        stream = std::make_unique<std::ofstream>();
    } catch (const std::exception&) {
        pending.reset();
        stream.reset();
        return;
    }
    // A device or FIFO in the destination's place is never replaced, and a temporary file that could
    // not be created is never written: either way the open counts as failed.
    if (pending->path().empty()) {
        stream->setstate(std::ios::failbit);
        return;
    }
    stream->open(pending->path(), std::ios::out | std::ios::trunc | std::ios::binary);
}

OutputFile::~OutputFile() = default;

bool OutputFile::write(const void* data, std::int32_t count) {
    if (!stream) {
        failedWithoutStream = true;
        return true;
    }
    if (!stream->good()) {
        stream->setstate(std::ios::badbit);
        return true;
    }
    if (count > 0) stream->write(static_cast<const char*>(data), count);
    if (stream->fail()) stream->setstate(std::ios::badbit);
    return stream->bad();
}

bool OutputFile::isBad() const { return stream ? stream->bad() : failedWithoutStream; }

bool OutputFile::close() {
    if (!stream) return false;
    const bool wasOpen = stream->is_open();
    const bool written = stream->good();
    stream->close();
    if (!wasOpen || !written || stream->fail()) {
        stream->setstate(std::ios::failbit);
        return false;
    }
    if (pending->commit()) {
        stream->setstate(std::ios::failbit);
        return false;
    }
    return true;
}
