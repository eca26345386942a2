// Writes the fuzzer's starting corpus into the folder named on the command line: small loops from
// the project's writer, well-formed and in the shapes that exercise the reader's harder paths.
#include "loopfile/RexFileWriter.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

RexLoopContent smallLoop(int16_t channels, int16_t bits) {
    RexLoopContent loop;
    loop.channelCount = channels;
    loop.bitsPerSample = bits;
    loop.loopLength = 3840;
    const uint32_t frames = 64;
    for (uint32_t i = 0; i < frames * static_cast<uint32_t>(channels); ++i) {
        loop.samples.push_back(static_cast<float>(std::sin(0.3 * i)) * 0.9f);
    }
    const uint32_t quarter = frames / 4 * static_cast<uint32_t>(channels);
    for (uint16_t i = 0; i < 4; ++i) {
        loop.slices.push_back({i * quarter, quarter, static_cast<uint16_t>(960 * i)});
    }
    return loop;
}

std::vector<std::pair<std::string, RexFileWriter>> seeds() {
    std::vector<std::pair<std::string, RexFileWriter>> all;
    all.emplace_back("mono16", RexFileWriter::forLoop(smallLoop(1, 16)));
    all.emplace_back("stereo24", RexFileWriter::forLoop(smallLoop(2, 24)));
    all.emplace_back("mono8", RexFileWriter::forLoop(smallLoop(1, 8)));

    RexLoopContent overrun = smallLoop(1, 16);
    overrun.slices.push_back({60, 100, 3000});
    overrun.slices.push_back({500, 4, 3500});
    all.emplace_back("slices-past-end", RexFileWriter::forLoop(overrun));

    RexFileWriter odd = RexFileWriter::forLoop(smallLoop(1, 8));
    odd.chunks().insert(odd.chunks().begin(), AiffChunk::raw("NAME", {'l', 'o', 'o', 'p', '!'}));
    odd.chunks().front().padded = false;
    odd.chunks().back().body.push_back(0);
    odd.chunks().back().padded = false;
    all.emplace_back("odd-unpadded", odd);

    RexFileWriter reordered = RexFileWriter::forLoop(smallLoop(2, 16));
    std::swap(reordered.chunks()[0], reordered.chunks()[2]);
    reordered.append(AiffChunk::raw("MARK", {0, 1, 0, 0, 0, 0, 0, 0, 2, 'a', 'b'}));
    all.emplace_back("reordered-with-marker", reordered);

    RexFileWriter offset;
    offset.append(AiffChunk::common(1, 8, 12, 22050));
    offset.append(AiffChunk::soundData(std::vector<uint8_t>(16, 0x55), 6, 4));
    RexChunkFields fields;
    fields.slices = {{0, 4, 0}, {4, 4, 480}};
    fields.trailingBytes = 6;
    offset.append(AiffChunk::rex(fields));
    offset.append(AiffChunk::rex(RexChunkFields{}));
    all.emplace_back("offset-and-two-rex-chunks", offset);
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: rex_fuzz_seeds FOLDER\n");
        return 2;
    }
    for (const auto& [name, writer] : seeds()) {
        if (!writer.write(std::string(argv[1]) + "/" + name + ".rex")) {
            std::fprintf(stderr, "rex_fuzz_seeds: cannot write %s into %s\n", name.c_str(), argv[1]);
            return 1;
        }
    }
    return 0;
}
