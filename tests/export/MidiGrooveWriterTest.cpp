#include "LoopFiles.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<uint8_t>;

class MidiGrooveWriterTest : public ::testing::Test {
protected:
    Bytes grooveOf(const RexLoopContent& loop) {
        ReadLoop read(writeLoopFile(dir, "loop.rex", loop));
        EXPECT_FALSE(read.reader.failed());
        const std::string path = dir.file("groove.mid");
        OutputFile output(path.c_str());
        writeMidiGroove(read.reader, output);
        EXPECT_FALSE(output.isBad());
        output.close();
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static Bytes noteTrack(const Bytes& file) { return Bytes(file.begin() + 49, file.end()); }

    TempDir dir;
};

Bytes encoded(std::int32_t value) {
    uint8_t bytes[8] = {};
    const int count = encodeVariableLength(value, bytes);
    return Bytes(bytes, bytes + count);
}

}  // namespace

TEST(VariableLength, EncodesSevenBitGroupsMostSignificantFirst) {
    EXPECT_EQ(encoded(0), (Bytes{0x00}));
    EXPECT_EQ(encoded(127), (Bytes{0x7F}));
    EXPECT_EQ(encoded(128), (Bytes{0x81, 0x00}));
    EXPECT_EQ(encoded(960), (Bytes{0x87, 0x40}));
    EXPECT_EQ(encoded(1920), (Bytes{0x8F, 0x00}));
    EXPECT_EQ(encoded(16383), (Bytes{0xFF, 0x7F}));
    EXPECT_EQ(encoded(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(VariableLength, ValuesOutsideTheRangeAreClampedIntoIt) {
    EXPECT_EQ(encoded(0x10000000), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(encoded(-5), (Bytes{0x00}));
}

TEST_F(MidiGrooveWriterTest, ThreeQuarterNoteSlicesGiveTheExactFile) {
    const Bytes expected = {
        0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0x02, 0x03, 0xC0,  // header
        0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x13, 0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x1F, 0x00, 0xFF, 0x2F, 0x00,  // tempo track
        0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x1F,                    // note track, 31 bytes
        0x00, 0x90, 0x24, 0x7F, 0x87, 0x40, 0x90, 0x24, 0x00, 0x00, 0x90, 0x25, 0x7F, 0x87, 0x40, 0x90,
        0x25, 0x00, 0x00, 0x90, 0x26, 0x7F, 0x8F, 0x00, 0x90, 0x26, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(grooveOf(loopWithPositions({0, 960, 1920}, 3840)), expected);
}

TEST_F(MidiGrooveWriterTest, ALoopWithoutSlicesHasOnlyTheEndOfTrack) {
    const Bytes file = grooveOf(loopWithPositions({}, 3840));
    EXPECT_EQ(file.size(), 53u);
    EXPECT_EQ(noteTrack(file), (Bytes{0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MidiGrooveWriterTest, ASingleSliceLastsToTheLoopsEnd) {
    EXPECT_EQ(noteTrack(grooveOf(loopWithPositions({0}, 3840))),
              (Bytes{0x00, 0x90, 0x24, 0x7F, 0x9E, 0x00, 0x90, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MidiGrooveWriterTest, GapsBetweenSlicesSurviveWhateverTheFirstPosition) {
    const Bytes track = noteTrack(grooveOf(loopWithPositions({480, 480, 600}, 700)));
    EXPECT_EQ(track, (Bytes{0x00, 0x90, 0x24, 0x7F, 0x00, 0x90, 0x24, 0x00,  // same position: delta 0
                            0x00, 0x90, 0x25, 0x7F, 0x78, 0x90, 0x25, 0x00,  // 120 ticks
                            0x00, 0x90, 0x26, 0x7F, 0x64, 0x90, 0x26, 0x00,  // 100 ticks to the loop's end
                            0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(MidiGrooveWriterTest, TempoCarriesTheSinglePrecisionRounding) {
    auto tempoBytes = [&](uint32_t field) {
        const Bytes file = grooveOf(loopWithPositions({0}, 960, field));
        return Bytes(file.begin() + 34, file.begin() + 37);
    };
    EXPECT_EQ(tempoBytes(120000), (Bytes{0x07, 0xA1, 0x1F}));  // 499999
    EXPECT_EQ(tempoBytes(100000), (Bytes{0x09, 0x27, 0xBF}));  // 599999
    EXPECT_EQ(tempoBytes(128000), (Bytes{0x07, 0x27, 0x0E}));  // 468750
}

TEST_F(MidiGrooveWriterTest, ALoopWithoutTempoIsWrittenAt120BeatsPerMinute) {
    const Bytes file = grooveOf(loopWithPositions({0}, 960, 0));
    EXPECT_EQ(Bytes(file.begin() + 34, file.begin() + 37), (Bytes{0x07, 0xA1, 0x20}));  // 500000
}

TEST_F(MidiGrooveWriterTest, SlicesBeyondTheMidiNoteRangeAreLeftOut) {
    std::vector<uint16_t> positions;
    for (uint16_t i = 0; i < 100; ++i) positions.push_back(static_cast<uint16_t>(i * 10));
    const Bytes track = noteTrack(grooveOf(loopWithPositions(positions, 1000, 120000, 1)));
    // 92 notes of 8 bytes each (deltas of 10 ticks fit one byte), then the end of track.
    ASSERT_EQ(track.size(), 92u * 8 + 4);
    EXPECT_EQ(track[92 * 8 - 6], 127);
}
