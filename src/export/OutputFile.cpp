#include "export/OutputFile.h"

#include <new>

OutputFile::OutputFile(const char* path) {
    if (!path) return;
    stream.reset(new (std::nothrow) std::ofstream);
    if (stream) stream->open(path, std::ios::out | std::ios::trunc | std::ios::binary);
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

void OutputFile::close() {
    if (stream) stream->close();
}
