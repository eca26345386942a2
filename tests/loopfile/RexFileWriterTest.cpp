#include "LoopFileTesting.h"
#include "loopfile/RexFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t bigEndian32At(const Bytes& bytes, size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) |
           bytes[at + 3];
}

std::string textAt(const Bytes& bytes, size_t at) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4);
}

TEST(RexFileWriterLayout, LoopIsAFormOfCommonRexAndSoundDataChunks) {
    const Bytes bytes = RexFileWriter::forLoop(quarterNoteLoop(100)).bytes();
    EXPECT_EQ(textAt(bytes, 0), "FORM");
    EXPECT_EQ(bigEndian32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(textAt(bytes, 8), "AIFF");
    EXPECT_EQ(textAt(bytes, 12), "COMM");
    EXPECT_EQ(bigEndian32At(bytes, 16), 18u);
    EXPECT_EQ(textAt(bytes, 38), "APPL");
    EXPECT_EQ(bigEndian32At(bytes, 42), 1020u + 4 * 12);
    const size_t soundData = 46 + 1020 + 4 * 12;
    EXPECT_EQ(textAt(bytes, soundData), "SSND");
    EXPECT_EQ(bigEndian32At(bytes, soundData + 4), 8u + 200);
    EXPECT_EQ(bytes.size(), soundData + 8 + 8 + 200);
}

TEST(RexFileWriterLayout, OddChunkIsPaddedUnlessToldNotTo) {
    RexFileWriter writer;
    writer.append(AiffChunk::raw("NAME", {'a'}));
    EXPECT_EQ(writer.bytes().size(), 12u + 8 + 2);
    writer.chunks()[0].padded = false;
    EXPECT_EQ(writer.bytes().size(), 12u + 8 + 1);
}

TEST(RexFileWriterLayout, DeclaredSizesReplaceTheTrueOnes) {
    RexFileWriter writer;
    writer.append(AiffChunk::raw("NAME", {'a', 'b'}));
    writer.chunk("NAME").declaredSize = 0xFFFFFFFFu;
    writer.setDeclaredFormSize(7);
    writer.setFormType("AIFC");
    const Bytes bytes = writer.bytes();
    EXPECT_EQ(bigEndian32At(bytes, 4), 7u);
    EXPECT_EQ(textAt(bytes, 8), "AIFC");
    EXPECT_EQ(bigEndian32At(bytes, 16), 0xFFFFFFFFu);
}

TEST(RexFileWriterChunks, MissingChunkIsReportedAndRemovalTakesEveryCopy) {
    RexFileWriter writer = RexFileWriter::forLoop(quarterNoteLoop(100));
    writer.append(AiffChunk::common(1, 1, 16, 44100));
    writer.removeChunks("COMM");
    EXPECT_EQ(writer.chunks().size(), 2u);
    EXPECT_THROW(writer.chunk("COMM"), std::out_of_range);
}

TEST(RexFileWriterLoops, MonoLoopSlicesRunFromEachStartToTheNext) {
    const RexLoopContent loop =
        RexFileWriter::monoLoop(std::vector<float>(1000), {0, 300, 700}, {0, 960, 2880}, 120.0, 3840);
    EXPECT_EQ(loop.channelCount, 1);
    EXPECT_EQ(loop.bitsPerSample, 16);
    EXPECT_EQ(loop.sampleRate, 44100);
    EXPECT_EQ(loop.tempoField, 120000u);
    ASSERT_EQ(loop.slices.size(), 3u);
    EXPECT_EQ(loop.slices[1].start, 300u);
    EXPECT_EQ(loop.slices[1].length, 400u);
    EXPECT_EQ(loop.slices[2].length, 300u);
    EXPECT_EQ(loop.slices[2].position, 2880);
}

TEST(RexFileWriterLoops, MonoLoopRejectsStartsOutOfOrderOrPastTheSamples) {
    EXPECT_THROW(RexFileWriter::monoLoop(std::vector<float>(10), {5, 2}, {0, 1}, 120.0, 0), std::invalid_argument);
    EXPECT_THROW(RexFileWriter::monoLoop(std::vector<float>(10), {11}, {0}, 120.0, 0), std::invalid_argument);
    EXPECT_THROW(RexFileWriter::monoLoop(std::vector<float>(10), {0}, {}, 120.0, 0), std::invalid_argument);
}

TEST(RexFileWriterLoops, SixteenBitIntegersBecomeFloatsThatWriteBackUnchanged) {
    const std::vector<int16_t> pcm = {-32768, -1, 0, 1, 32767};
    const std::vector<float> samples = RexFileWriter::samplesFromPcm16(pcm);
    EXPECT_EQ(samples[0], -1.0f);
    EXPECT_EQ(AiffChunk::encodeSamples(samples, 16), (Bytes{0x80, 0x00, 0xFF, 0xFF, 0, 0, 0, 1, 0x7F, 0xFF}));
}

TEST(RexFileWriterFiles, WrittenFileHoldsExactlyTheBytes) {
    TempDir dir;
    const RexFileWriter writer = RexFileWriter::forLoop(quarterNoteLoop(100));
    ASSERT_TRUE(writer.write(dir.file("loop.rex")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("loop.rex")), writer.bytes().size());
}

TEST(RexFileWriterFiles, FailedWriteLeavesNoFile) {
    TempDir dir;
    const std::string path = dir.file("missing-folder/loop.rex");
    EXPECT_FALSE(RexFileWriter::forLoop(quarterNoteLoop(100)).write(path));
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
