#include "LoopFileTesting.h"
#include "loopfile/AiffReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// sox, an independent AIFF reader, decodes the file to 32-bit little-endian floats.
std::vector<float> decodedBySox(const std::string& path, const TempDir& dir) {
    const std::string raw = dir.file("sox.f32");
    const std::string command =
        std::string(BREVATONE_SOX) + " -V1 -t aiff '" + path + "' -t raw -e floating-point -b 32 -L '" + raw + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(raw, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<float> samples(bytes.size() / 4);
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint32_t bits = uint32_t{bytes[4 * i]} | (uint32_t{bytes[4 * i + 1]} << 8) |
                              (uint32_t{bytes[4 * i + 2]} << 16) | (uint32_t{bytes[4 * i + 3]} << 24);
        std::memcpy(&samples[i], &bits, sizeof bits);
    }
    return samples;
}

std::vector<float> noisySine(size_t count) {
    std::vector<float> samples(count);
    uint32_t noise = 12345;
    for (size_t i = 0; i < count; ++i) {
        noise = noise * 1664525u + 1013904223u;
        samples[i] = 0.7f * static_cast<float>(std::sin(0.01 * static_cast<double>(i))) +
                     0.29f * (static_cast<float>(noise >> 8) / 16777216.0f - 0.5f);
    }
    return samples;
}

class SoxCrossCheck : public ::testing::TestWithParam<std::pair<int16_t, int16_t>> {};

TEST_P(SoxCrossCheck, SoxReadsTheSameSampleValuesAsTheReader) {
    const auto [channels, bits] = GetParam();
    RexLoopContent loop = quarterNoteLoop(4001, channels, bits);
    loop.samples = noisySine(loop.samples.size());
    loop.samples[0] = -1.0f;
    loop.samples[1] = 1.0f;  // written as the largest value the size holds
    TempDir dir;
    const std::string path = dir.file("loop.rex");
    ASSERT_TRUE(RexFileWriter::forLoop(loop).write(path));

    InputFile file(path.c_str());
    AiffReader reader(file);
    reader.parse();
    ASSERT_FALSE(reader.failed());
    const std::vector<float> ours(reader.samples(), reader.samples() + reader.sampleCount());
    EXPECT_EQ(ours.size(), loop.samples.size());
    EXPECT_EQ(decodedBySox(path, dir), ours);
}

INSTANTIATE_TEST_SUITE_P(SampleFormats, SoxCrossCheck,
                         ::testing::Values(std::make_pair(int16_t{1}, int16_t{16}),
                                           std::make_pair(int16_t{2}, int16_t{16}),
                                           std::make_pair(int16_t{1}, int16_t{8}),
                                           std::make_pair(int16_t{2}, int16_t{24})));

}  // namespace
