// libFuzzer target: any bytes, read as a loop file through a real file, must leave the reader in a
// consistent state without touching memory outside what it owns: a REX loop, or a WAV or AIFF
// loop cut at its hits, as the instrument reads them.
#include "loopfile/InputFile.h"
#include "loopfile/LoopReader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string loopPath;

void removeLoopFile() { std::remove(loopPath.c_str()); }

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void checkReader(const RexReader& reader) {
    if (reader.failed()) {
        require(reader.sliceCount() == 0 && reader.sampleCount() == 0 && reader.failureReason() != nullptr);
        return;
    }
    const auto sampleCount = static_cast<uint64_t>(reader.sampleCount());
    for (int32_t i = 0; i < reader.sampleCount(); ++i) {
        require(reader.samples()[i] >= -1.0f && reader.samples()[i] < 1.0f);
    }
    volatile float sum = 0.0f;
    for (int32_t i = 0; i < reader.sliceCount(); ++i) {
        const SliceInfo* slice = reader.sliceInfo(static_cast<uint32_t>(i));
        const float* samples = reader.sliceSamples(static_cast<uint32_t>(i));
        require(slice != nullptr);
        require(samples != nullptr || slice->length == 0);
        require(slice->length == 0 || uint64_t{slice->start} + slice->length <= sampleCount);
        for (uint32_t k = 0; k < slice->length; ++k) {
            sum = sum + samples[k];  // reads every value a loader would copy
        }
    }
    require(reader.sliceInfo(static_cast<uint32_t>(reader.sliceCount())) == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    loopPath =
        (std::filesystem::temp_directory_path() / ("brevatone-fuzz-" + std::to_string(getpid()) + ".rex")).string();
    std::atexit(removeLoopFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* out = std::fopen(loopPath.c_str(), "wb");
    require(out != nullptr);
    require(std::fwrite(data, 1, size, out) == size);
    std::fclose(out);

    InputFile file(loopPath.c_str());
    LoopReader reader(file);
    reader.parse();
    checkReader(reader);
    return 0;
}
