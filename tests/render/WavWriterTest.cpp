#include "RenderTesting.h"
#include "WavWriter.h"
#include "export/PendingFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>

#if defined(BREVATONE_HAVE_SNDFILE)
#include <sndfile.h>
#endif

namespace {

std::string writeWav(const TempDir& dir, WavWriter::Format format, const std::vector<float>& left,
                     const std::vector<float>& right) {
    const std::string path = dir.file("out.wav");
    WavWriter wav(path, format, 44100);
    wav.write(left.data(), right.data(), static_cast<std::int32_t>(left.size()));
    wav.finish();
    return path;
}

Bytes header(const Bytes& file, std::size_t size) {
    return Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
}

}  // namespace

TEST(WavWriter, WritesFloatSamplesWithTheExtendedFormatRecordAndAFactChunk) {
    TempDir dir;
    const Bytes file = readBytes(writeWav(dir, WavWriter::Format::float32, {0.5f, -1.0f, 0.25f}, {0.0f, 1.0f, 2.0f}));
    const Bytes expected{'R',  'I', 'F', 'F', 74, 0,   0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                         ' ',  18,  0,   0,   0,  3,   0,   2,   0,   0x44, 0xAC, 0,   0,   0x20, 0x62,
                         0x05, 0,   8,   0,   32, 0,   0,   0,   'f', 'a',  'c',  't', 4,   0,    0,
                         0,    3,   0,   0,   0,  'd', 'a', 't', 'a', 24,   0,    0,   0};
    ASSERT_EQ(file.size(), 58u + 24u);
    EXPECT_EQ(header(file, 58), expected);
    const WavContent wav = readWav(dir.file("out.wav"));
    EXPECT_EQ(wav.left, (std::vector<float>{0.5f, -1.0f, 0.25f}));
    EXPECT_EQ(wav.right, (std::vector<float>{0.0f, 1.0f, 2.0f}));
}

TEST(WavWriter, WritesTwentyFourBitIntegersWithThePlainFormatRecord) {
    TempDir dir;
    const Bytes file = readBytes(writeWav(dir, WavWriter::Format::pcm24, {0.5f, -1.0f / 8388608.0f}, {-1.0f, 0.0f}));
    const Bytes expected{'R',  'I',  'F',  'F',  48,   0,    0,    0,    'W',  'A',  'V',  'E',  'f',  'm',
                         't',  ' ',  16,   0,    0,    0,    1,    0,    2,    0,    0x44, 0xAC, 0,    0,
                         0x98, 0x09, 0x04, 0,    6,    0,    24,   0,    'd',  'a',  't',  'a',  12,   0,
                         0,    0,    0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};
    EXPECT_EQ(file, expected);
}

TEST(WavWriter, RoundsTwentyFourBitSamplesAndClipsThemAtFullScale) {
    EXPECT_EQ(WavWriter::toPcm24(0.25f), 2097152);
    EXPECT_EQ(WavWriter::toPcm24(1.4f / 8388608.0f), 1);
    EXPECT_EQ(WavWriter::toPcm24(-1.6f / 8388608.0f), -2);
    EXPECT_EQ(WavWriter::toPcm24(1.0f), 8388607);
    EXPECT_EQ(WavWriter::toPcm24(3.0f), 8388607);
    EXPECT_EQ(WavWriter::toPcm24(-1.0f), -8388608);
    EXPECT_EQ(WavWriter::toPcm24(-3.0f), -8388608);
    EXPECT_EQ(WavWriter::toPcm24(std::nanf("")), 0);
    EXPECT_EQ(WavWriter::toPcm24(std::numeric_limits<float>::infinity()), 8388607);
}

TEST(WavWriter, RoundsTwentyFourBitHalfWaysAwayFromZero) {
    const float step = 1.0f / 8388608.0f;
    EXPECT_EQ(WavWriter::toPcm24(0.5f * step), 1);
    EXPECT_EQ(WavWriter::toPcm24(-0.5f * step), -1);
    EXPECT_EQ(WavWriter::toPcm24(2.5f * step), 3);
    EXPECT_EQ(WavWriter::toPcm24(-2.5f * step), -3);
    EXPECT_EQ(WavWriter::toPcm24(std::nextafter(0.5f, 0.0f) * step), 0);
    EXPECT_EQ(WavWriter::toPcm24(4194303.5f * step), 4194304);
    EXPECT_EQ(WavWriter::toPcm24(-8388607.5f * step), -8388608);
}

// Every 4099th float bit pattern, both signs, against rounding in double precision.
TEST(WavWriter, TwentyFourBitSamplesMatchRoundingInDoublePrecision) {
    for (std::uint64_t bits = 0; bits < 0x80000000u; bits += 4099) {
        for (const std::uint32_t sign : {0u, 0x80000000u}) {
            const std::uint32_t pattern = static_cast<std::uint32_t>(bits) | sign;
            float sample;
            std::memcpy(&sample, &pattern, sizeof sample);
            if (std::isnan(sample)) continue;
            const double expected =
                std::clamp(std::round(static_cast<double>(sample) * 8388608.0), -8388608.0, 8388607.0);
            ASSERT_EQ(WavWriter::toPcm24(sample), static_cast<std::int32_t>(expected)) << sample;
        }
    }
}

// Frames go out four at a time with a remainder; each sample keeps its place and its value.
TEST(WavWriter, PacksTwentyFourBitFramesInOrderPastWholeGroups) {
    TempDir dir;
    std::vector<float> left;
    std::vector<float> right;
    for (int i = 0; i < 11; ++i) {
        left.push_back(static_cast<float>(i) * 0.09f - 0.45f);
        right.push_back(static_cast<float>(i * i) * -0.006f + 0.2f);
    }
    const Bytes file = readBytes(writeWav(dir, WavWriter::Format::pcm24, left, right));
    ASSERT_EQ(file.size(), 44u + 6u * left.size());
    for (std::size_t i = 0; i < 2 * left.size(); ++i) {
        const std::size_t at = 44 + 3 * i;
        const auto raw = static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16);
        const std::int32_t value = static_cast<std::int32_t>(raw << 8) / 256;
        const float sample = i % 2 == 0 ? left[i / 2] : right[i / 2];
        EXPECT_EQ(value, static_cast<std::int32_t>(std::round(static_cast<double>(sample) * 8388608.0))) << i;
    }
}

TEST(WavWriter, RefusesAPlaceItCannotCreate) {
    TempDir dir;
    EXPECT_THROW(WavWriter(dir.file("missing/out.wav"), WavWriter::Format::float32, 44100), std::runtime_error);
}

#if defined(BREVATONE_HAVE_SNDFILE)
TEST(WavWriter, WritesFilesThatLibsndfileReads) {
    TempDir dir;
    for (const WavWriter::Format format : {WavWriter::Format::float32, WavWriter::Format::pcm24}) {
        const std::string path = writeWav(dir, format, {0.5f, -0.25f, 0.125f, 0.0f}, {-0.5f, 0.25f, 0.75f, -1.0f});
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.frames, 4);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.samplerate, 44100);
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK,
                  format == WavWriter::Format::float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24);
        float samples[8];
        EXPECT_EQ(sf_readf_float(file, samples, 4), 4);
        sf_close(file);
        EXPECT_EQ(std::vector<float>(samples, samples + 8),
                  (std::vector<float>{0.5f, -0.5f, -0.25f, 0.25f, 0.125f, 0.75f, 0.0f, -1.0f}));
    }
}
#endif

TEST(PendingFile, LeavesTheDestinationAloneUntilCommitted) {
    TempDir dir;
    const std::string destination = writeBytes(dir.file("result.wav"), {1, 2, 3});
    {
        PendingFile pending(destination);
        writeBytes(pending.path(), {9, 9});
    }
    EXPECT_EQ(readBytes(destination), (Bytes{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    PendingFile pending(destination);
    writeBytes(pending.path(), {7});
    pending.commit();
    EXPECT_EQ(readBytes(destination), (Bytes{7}));
}

#if !defined(_WIN32)
// Someone who swaps the temporary file for a link while it is written gets neither the rename nor
// the removal: both would act on a file the user never named.
TEST(PendingFile, NeitherCommitsNorRemovesATemporaryNameThatNoLongerHoldsItsOwnFile) {
    TempDir dir;
    const std::string victim = writeBytes(dir.file("victim.mid"), {1, 2, 3});
    const std::string destination = dir.file("result.wav");
    std::string temporary;
    {
        PendingFile pending(destination);
        temporary = pending.path();
        ASSERT_FALSE(temporary.empty());
        std::filesystem::remove(temporary);
        std::filesystem::create_symlink(victim, temporary);
        EXPECT_TRUE(pending.commit());
    }
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_TRUE(std::filesystem::is_symlink(temporary));
    EXPECT_EQ(readBytes(victim), (Bytes{1, 2, 3}));
}
#endif
