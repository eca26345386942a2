#include "LoopFileTesting.h"
#include "loopfile/RexReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ParsedRex = ParsedFile<RexReader>;

RexFileWriter writerWithRex(const RexChunkFields& fields, uint32_t frames = 8) {
    RexFileWriter writer;
    writer.append(AiffChunk::common(1, frames, 16, 44100));
    writer.append(AiffChunk::rex(fields));
    writer.append(AiffChunk::soundData(AiffChunk::encodeSamples(rampSamples(frames), 16)));
    return writer;
}

RexChunkFields threeSlices() {
    RexChunkFields fields;
    fields.loopLength = 3840;
    fields.slices = {{0, 2, 0}, {2, 2, 960}, {4, 4, 1920}};
    return fields;
}

void expectRefusedWithoutSlices(const RexReader& reader, const std::string& reason) {
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.sliceCount(), 0);
    EXPECT_EQ(reader.sliceInfo(0), nullptr);
    ASSERT_NE(reader.failureReason(), nullptr);
    EXPECT_NE(std::string(reader.failureReason()).find(reason), std::string::npos) << reader.failureReason();
}

float tempoFromField(uint32_t field) {
    RexChunkFields fields;
    fields.tempoField = field;
    return ParsedRex(writerWithRex(fields))->tempo();
}

// The loop and its slice table

TEST(RexReaderLoop, WrittenLoopReadsBackWithItsSliceTable) {
    ParsedRex reader(RexFileWriter::forLoop(quarterNoteLoop(400)));
    ASSERT_FALSE(reader->failed());
    EXPECT_EQ(reader->loopLength(), 3840u);
    ASSERT_EQ(reader->sliceCount(), 4);
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(reader->sliceInfo(i)->start, 100 * i);
        EXPECT_EQ(reader->sliceInfo(i)->length, 100u);
        EXPECT_EQ(reader->sliceInfo(i)->position, 960 * i);
    }
}

TEST(RexReaderLoop, SliceSamplesPointStartValuesIntoTheSamples) {
    ParsedRex reader(RexFileWriter::forLoop(quarterNoteLoop(400, 2)));
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(reader->sliceSamples(i), reader->samples() + reader->sliceInfo(i)->start);
    }
    EXPECT_EQ(reader->sliceInfo(1)->start, 200u);
}

TEST(RexReaderLoop, TempoIsTheFieldTimesTheSinglePrecisionThousandth) {
    EXPECT_EQ(tempoFromField(120000), 120.00000762939453f);
    EXPECT_EQ(tempoFromField(100000), 100.00000762939453f);
    EXPECT_EQ(tempoFromField(128000), 128.0f);
    EXPECT_EQ(tempoFromField(140000), 140.0f);
}

TEST(RexReaderLoop, ChunkWithNoSlicesAndSize1020IsReadAndTheWalkGoesOn) {
    RexChunkFields fields;
    fields.loopLength = 7680;
    ParsedRex reader(writerWithRex(fields));
    ASSERT_FALSE(reader->failed());
    EXPECT_EQ(reader->loopLength(), 7680u);
    EXPECT_EQ(reader->tempo(), 120.00000762939453f);
    EXPECT_EQ(reader->sliceCount(), 0);
    EXPECT_EQ(reader->sampleCount(), 8);
}

TEST(RexReaderLoop, TrailingBytesOfTheChunkAreSkippedBeforeTheNextChunk) {
    RexChunkFields fields = threeSlices();
    fields.trailingBytes = 4;
    RexFileWriter writer = writerWithRex(fields);
    ASSERT_EQ(writer.chunk("APPL").body.size(), 1060u);
    ParsedRex reader(writer);
    ASSERT_FALSE(reader->failed());
    EXPECT_EQ(reader->sliceInfo(2)->position, 1920);
    EXPECT_EQ(reader->sampleCount(), 8);
}

TEST(RexReaderLoop, IndexAtOrPastTheSliceCountYieldsNothing) {
    ParsedRex reader(writerWithRex(threeSlices()));
    EXPECT_EQ(reader->sliceInfo(3), nullptr);
    EXPECT_EQ(reader->sliceSamples(3), nullptr);
    EXPECT_EQ(reader->sliceInfo(0xFFFFFFFFu), nullptr);
}

TEST(RexReaderLoop, FileWithoutRexChunkIsAcceptedWithNoSlices) {
    RexFileWriter writer = writerWithRex(threeSlices());
    writer.removeChunks("APPL");
    ParsedRex reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(reader->sliceCount(), 0);
    EXPECT_EQ(reader->sliceInfo(0), nullptr);
    EXPECT_EQ(reader->sliceSamples(0), nullptr);
}

TEST(RexReaderLoop, LaterRexChunkReplacesTheEarlierOne) {
    RexFileWriter writer = writerWithRex(threeSlices());
    RexChunkFields later;
    later.tempoField = 128000;
    later.slices = {{1, 1, 480}};
    writer.append(AiffChunk::rex(later));
    ParsedRex reader(writer);
    EXPECT_EQ(reader->tempo(), 128.0f);
    ASSERT_EQ(reader->sliceCount(), 1);
    EXPECT_EQ(reader->sliceInfo(0)->position, 480);
}

TEST(RexReaderLoop, RexChunkBeforeTheSampleFormatIsReadAlike) {
    RexFileWriter writer = writerWithRex(threeSlices());
    std::swap(writer.chunks()[0], writer.chunks()[1]);
    ParsedRex reader(writer);
    ASSERT_FALSE(reader->failed());
    EXPECT_EQ(reader->sliceCount(), 3);
    EXPECT_EQ(reader->sliceInfo(2)->length, 4u);
}

// Slices against the samples

TEST(RexReaderClipping, SliceRunningPastTheSamplesIsCutAtTheirEnd) {
    RexChunkFields fields;
    fields.slices = {{6, 100, 0}, {0, 0xFFFFFFFFu, 0}};
    ParsedRex reader(writerWithRex(fields));
    EXPECT_EQ(reader->sliceInfo(0)->length, 2u);
    EXPECT_EQ(reader->sliceInfo(1)->length, 8u);
}

TEST(RexReaderClipping, SliceStartingPastTheSamplesIsEmptyAndPointsAtTheirEnd) {
    RexChunkFields fields;
    fields.slices = {{8, 4, 0}, {0xFFFFFFF0u, 0x20, 0}};
    ParsedRex reader(writerWithRex(fields));
    for (uint32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(reader->sliceInfo(i)->length, 0u);
        EXPECT_EQ(reader->sliceSamples(i), reader->samples() + 8);
    }
}

TEST(RexReaderClipping, SlicesAreCutToTheSamplesTheSoundDataHolds) {
    RexChunkFields fields;
    fields.slices = {{0, 8, 0}};
    RexFileWriter writer = writerWithRex(fields);
    writer.chunk("SSND").body.resize(8 + 6);
    ParsedRex reader(writer);
    EXPECT_EQ(reader->sampleCount(), 3);
    EXPECT_EQ(reader->sliceInfo(0)->length, 3u);
}

// Files refused

TEST(RexReaderRefusal, ForeignApplicationSignatureRefusesWithoutReadingTheRestAsChunks) {
    RexFileWriter writer = writerWithRex(threeSlices());
    std::vector<uint8_t> payload = {'s', 't', 'o', 'c', 'S', 'S', 'N', 'D', 0xFF, 0xFF, 0xFF, 0x00};
    writer.chunks().insert(writer.chunks().begin(), AiffChunk::raw("APPL", payload));
    expectRefusedWithoutSlices(*ParsedRex(writer), "another application");
}

TEST(RexReaderRefusal, SignatureIsCaseAndSpaceSensitive) {
    for (const char* signature : {"rex ", "REX\0", "REXX"}) {
        RexChunkFields fields = threeSlices();
        fields.signature = std::string(signature, 4);
        expectRefusedWithoutSlices(*ParsedRex(writerWithRex(fields)), "another application");
    }
}

TEST(RexReaderRefusal, ApplicationChunkTooShortForASignatureIsRefused) {
    RexFileWriter writer = writerWithRex(threeSlices());
    writer.append(AiffChunk::raw("APPL", {'R', 'E'}));
    expectRefusedWithoutSlices(*ParsedRex(writer), "too short to hold its signature");
}

TEST(RexReaderRefusal, NegativeSliceCountIsRefused) {
    RexChunkFields fields = threeSlices();
    fields.sliceCountField = -3;
    expectRefusedWithoutSlices(*ParsedRex(writerWithRex(fields)), "negative slice count");
}

TEST(RexReaderRefusal, ChunkSmallerThanItsSliceTableIsRefused) {
    RexChunkFields fields = threeSlices();
    fields.sliceCountField = 4;
    expectRefusedWithoutSlices(*ParsedRex(writerWithRex(fields)), "too short for its slice table");
}

TEST(RexReaderRefusal, ChunkSmallerThanTheRexHeaderIsRefused) {
    RexFileWriter writer = writerWithRex(RexChunkFields{});
    writer.chunk("APPL").body.resize(1000);
    expectRefusedWithoutSlices(*ParsedRex(writer), "too short for its header");
}

TEST(RexReaderRefusal, RefusedFileOffersNoSlicesEvenAfterAGoodRexChunk) {
    RexFileWriter writer = writerWithRex(threeSlices());
    writer.removeChunks("COMM");
    expectRefusedWithoutSlices(*ParsedRex(writer), "no COMM");
}

}  // namespace

namespace {

// Slices copy their samples when loaded: a small file whose table covers its samples again and
// again would take many times its size in memory. Overlap up to twice is accepted.
TEST(RexReaderRefusal, SlicesCoveringTheSamplesManyTimesOverAreRefused) {
    RexChunkFields fields;
    fields.slices = {{0, 8, 0}, {0, 8, 0}};
    EXPECT_FALSE(ParsedRex(writerWithRex(fields))->failed());
    fields.slices.push_back({4, 2, 0});
    expectRefusedWithoutSlices(*ParsedRex(writerWithRex(fields)), "overlap");
}

}  // namespace
