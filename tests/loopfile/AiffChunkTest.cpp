#include "loopfile/AiffChunk.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(AiffChunkSamples, SixteenBitSamplesAreBigEndianTwosComplement) {
    EXPECT_EQ(AiffChunk::encodeSamples({-1.0f, 0.5f, -0.5f, 0.0f}, 16),
              (Bytes{0x80, 0x00, 0x40, 0x00, 0xC0, 0x00, 0x00, 0x00}));
}

TEST(AiffChunkSamples, ValuesOutsideTheRangeAreLimitedToIt) {
    EXPECT_EQ(AiffChunk::encodeSamples({1.0f, -2.0f}, 16), (Bytes{0x7F, 0xFF, 0x80, 0x00}));
}

TEST(AiffChunkSamples, EightAndTwentyFourBitSamplesUseOneAndThreeBytes) {
    EXPECT_EQ(AiffChunk::encodeSamples({-1.0f, 0.5f}, 8), (Bytes{0x80, 0x40}));
    EXPECT_EQ(AiffChunk::encodeSamples({-1.0f, 0.5f}, 24), (Bytes{0x80, 0x00, 0x00, 0x40, 0x00, 0x00}));
}

TEST(AiffChunkSamples, OddSampleSizesAreLeftJustified) {
    EXPECT_EQ(AiffChunk::encodeSamples({-1.0f, 2047.0f / 2048.0f}, 12), (Bytes{0x80, 0x00, 0x7F, 0xF0}));
}

TEST(AiffChunkSamples, SizesOutside1To24BitsAreNotWritten) {
    EXPECT_THROW(AiffChunk::encodeSamples({0.0f}, 0), std::invalid_argument);
    EXPECT_THROW(AiffChunk::encodeSamples({0.0f}, 32), std::invalid_argument);
}

TEST(AiffChunkLayout, CommonChunkHoldsChannelsFramesBitsAndRate) {
    const AiffChunk chunk = AiffChunk::common(2, 0x01020304, 16, 44100);
    EXPECT_EQ(std::string(chunk.identifier.begin(), chunk.identifier.end()), "COMM");
    EXPECT_EQ(chunk.body, (Bytes{0, 2, 1, 2, 3, 4, 0, 16, 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}));
}

TEST(AiffChunkLayout, SoundDataChunkHoldsOffsetBlockSizeGapAndBytes) {
    EXPECT_EQ(AiffChunk::soundData({9, 8}, 2, 5).body, (Bytes{0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 9, 8}));
}

TEST(AiffChunkLayout, RexChunkPlacesHeaderFieldsAndRecordsAtTheirOffsets) {
    RexChunkFields fields;
    fields.loopLength = 0x00001E00;
    fields.tempoField = 120000;
    fields.slices = {{0x0A0B0C0D, 0x11121314, 0x2122}};
    fields.trailingBytes = 3;
    const Bytes body = AiffChunk::rex(fields).body;
    ASSERT_EQ(body.size(), 1020u + 12u + 3u);
    EXPECT_EQ(Bytes(body.begin(), body.begin() + 4), (Bytes{'R', 'E', 'X', ' '}));
    EXPECT_EQ(Bytes(body.begin() + 10, body.begin() + 20), (Bytes{0, 0, 0x1E, 0, 0, 1, 0, 1, 0xD4, 0xC0}));
    EXPECT_EQ(Bytes(body.begin() + 1020, body.begin() + 1032),
              (Bytes{0x0A, 0x0B, 0x0C, 0x0D, 0x11, 0x12, 0x13, 0x14, 0, 0, 0x21, 0x22}));
}

TEST(AiffChunkLayout, RexSliceCountFieldCanDisagreeWithTheTable) {
    RexChunkFields fields;
    fields.sliceCountField = -1;
    const Bytes body = AiffChunk::rex(fields).body;
    EXPECT_EQ(body.size(), 1020u);
    EXPECT_EQ(body[14], 0xFF);
    EXPECT_EQ(body[15], 0xFF);
}

}  // namespace
