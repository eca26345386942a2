#include "loopfile/InputFile.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Opening a FIFO for reading waits for a writer; asking not to wait makes it return at once, and
// the check for a regular file that follows refuses it. A regular file ignores the request.
std::FILE* openWithoutWaiting(const char* path) {
#ifdef _WIN32
    return std::fopen(path, "rb");
#else
    const int descriptor = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr) {
        ::close(descriptor);
    }
    return stream;
#endif
}

}  // namespace

InputFile::InputFile(const char* path) {
    try {
        pathText = path != nullptr ? path : "";
        open();
    } catch (const std::bad_alloc&) {
        // Without room for the path or the reason the file reads as one that failed to open.
        failure.clear();
    }
}

void InputFile::open() {
    file = openWithoutWaiting(pathText.c_str());
    if (file == nullptr) {
        failure = std::string("the file cannot be opened: ") + std::strerror(errno);
        return;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = "the file cannot be opened: it is not a regular file";
        std::fclose(file);
        file = nullptr;
        return;
    }
    fileLength = static_cast<int64_t>(status.st_size);
}

InputFile::~InputFile() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

int32_t InputFile::read(void* buffer, int32_t count) {
    if (file == nullptr || count <= 0) {
        return 0;
    }
    const auto transferred = static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), file));
    consumed += transferred;
    return transferred;
}

int64_t InputFile::skip(int64_t count) {
    char scratch[4096];
    int64_t skipped = 0;
    while (skipped < count) {
        const auto piece = static_cast<int32_t>(std::min<int64_t>(count - skipped, sizeof scratch));
        const int32_t transferred = read(scratch, piece);
        skipped += transferred;
        if (transferred < piece) {
            break;
        }
    }
    return skipped;
}

bool InputFile::atEnd() const { return file != nullptr && std::feof(file) != 0; }

const char* InputFile::path() const { return pathText.c_str(); }

int64_t InputFile::remaining() const { return std::max<int64_t>(fileLength - consumed, 0); }
