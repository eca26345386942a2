#include "loopfile/InputFile.h"

#include <algorithm>
#include <fstream>
#include <new>

InputFile::InputFile(const char* path) {
    try {
        pathText = path != nullptr ? path : "";
        stream = std::make_unique<std::ifstream>(pathText, std::ios::in | std::ios::binary);
        if (*stream) {
            stream->seekg(0, std::ios::end);
            const std::streamoff end = stream->tellg();
            stream->seekg(0, std::ios::beg);
            fileLength = end > 0 ? static_cast<int64_t>(end) : 0;
        }
    } catch (const std::bad_alloc&) {
        // Without a stream the file reads as one that failed to open.
        stream.reset();
    }
}

InputFile::~InputFile() = default;

int32_t InputFile::read(void* buffer, int32_t count) {
    if (!stream || count <= 0) {
        return 0;
    }
    stream->read(static_cast<char*>(buffer), count);
    const auto transferred = static_cast<int32_t>(stream->gcount());
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

bool InputFile::atEnd() const { return stream && stream->eof(); }

const char* InputFile::path() const { return pathText.c_str(); }

int64_t InputFile::remaining() const { return std::max<int64_t>(fileLength - consumed, 0); }
