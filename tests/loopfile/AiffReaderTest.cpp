#include "LoopFileTesting.h"
#include "loopfile/AiffReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using ParsedAiff = ParsedFile<AiffReader>;

RexFileWriter aiffFile(int16_t channels, uint32_t frames, int16_t bits, const std::vector<uint8_t>& data) {
    RexFileWriter writer;
    writer.append(AiffChunk::common(channels, frames, bits, 44100));
    writer.append(AiffChunk::soundData(data));
    return writer;
}

RexFileWriter monoFile(const std::vector<uint8_t>& data) {
    return aiffFile(1, static_cast<uint32_t>(data.size() / 2), 16, data);
}

std::vector<float> samplesOf(const AiffReader& reader) {
    return {reader.samples(), reader.samples() + reader.sampleCount()};
}

void expectRefused(const AiffReader& reader, const std::string& reason) {
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.sampleCount(), 0);
    ASSERT_NE(reader.failureReason(), nullptr);
    EXPECT_NE(std::string(reader.failureReason()).find(reason), std::string::npos) << reader.failureReason();
}

// Format and sample conversion

TEST(AiffReaderFormat, MonoSixteenBitFileGivesOneFloatPerFrame) {
    std::vector<uint8_t> data(2000, 0);
    data[0] = 0x80;
    data[2] = 0x7F;
    data[3] = 0xFF;
    ParsedAiff reader(monoFile(data));
    ASSERT_FALSE(reader->failed());
    EXPECT_EQ(reader->soundDataSize(), 2000);
    EXPECT_EQ(reader->sampleCount(), 1000);
    EXPECT_EQ(reader->samples()[0], -1.0f);
    EXPECT_EQ(reader->samples()[1], 32767.0f / 32768.0f);
    EXPECT_EQ(reader->samples()[2], 0.0f);
}

TEST(AiffReaderFormat, CommonChunkFieldsAreReported) {
    ParsedAiff reader(aiffFile(2, 3, 16, std::vector<uint8_t>(12, 0)));
    EXPECT_EQ(reader->channelCount(), 2);
    EXPECT_EQ(reader->sampleFrames(), 3u);
    EXPECT_EQ(reader->bitsPerSample(), 16);
    EXPECT_EQ(reader->sampleRate(), 44100);
}

TEST(AiffReaderFormat, StereoSamplesStayInterleaved) {
    ParsedAiff reader(aiffFile(2, 2, 16, {0x40, 0x00, 0xC0, 0x00, 0x20, 0x00, 0xE0, 0x00}));
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{0.5f, -0.5f, 0.25f, -0.25f}));
}

TEST(AiffReaderFormat, EightBitSamplesAreSignedAndScaledBy128) {
    ParsedAiff reader(aiffFile(1, 4, 8, {0x80, 0x7F, 0x01, 0x00}));
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{-1.0f, 127.0f / 128.0f, 1.0f / 128.0f, 0.0f}));
}

TEST(AiffReaderFormat, TwentyFourBitSamplesAreSignedAndScaledBy2To23) {
    ParsedAiff reader(aiffFile(1, 3, 24, {0x80, 0x00, 0x00, 0x7F, 0xFF, 0xFF, 0x00, 0x00, 0x01}));
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{-1.0f, 8388607.0f / 8388608.0f, std::ldexp(1.0f, -23)}));
}

TEST(AiffReaderFormat, TwelveBitSamplesAreReadFromTheirSixteenBitContainers) {
    ParsedAiff reader(aiffFile(1, 2, 12, {0x7F, 0xF0, 0x80, 0x00}));
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{2047.0f / 2048.0f, -1.0f}));
}

TEST(AiffReaderFormat, WrittenSamplesOfEverySizeReadBackUnchanged) {
    for (const int16_t bits : {8, 16, 24}) {
        const std::vector<float> ramp = rampSamples(300);
        ParsedAiff reader(aiffFile(1, 300, bits, AiffChunk::encodeSamples(ramp, bits)));
        EXPECT_EQ(samplesOf(*reader), ramp) << bits << " bits";
    }
}

TEST(AiffReaderFormat, FramesBeyondTheSoundDataAreNotInventedAsSamples) {
    ParsedAiff reader(aiffFile(1, 1000, 16, std::vector<uint8_t>(20, 0)));
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(reader->sampleCount(), 10);
}

TEST(AiffReaderFormat, SoundDataBeyondTheFrameCountIsNotConverted) {
    ParsedAiff reader(aiffFile(2, 3, 16, std::vector<uint8_t>(40, 0)));
    EXPECT_EQ(reader->sampleCount(), 6);
}

TEST(AiffReaderFormat, NonPositiveChannelCountGivesNoSamplesButIsNotRefused) {
    for (const int16_t channels : {0, -1}) {
        ParsedAiff reader(aiffFile(channels, 4, 16, std::vector<uint8_t>(8, 0)));
        EXPECT_FALSE(reader->failed());
        EXPECT_EQ(reader->sampleCount(), 0);
    }
}

// Sample rate from the extended float

int32_t rateOf(std::vector<uint8_t> head) {
    head.resize(10, 0);
    return AiffReader::extendedToRate(head.data());
}

TEST(AiffReaderRate, CommonRatesAreDecoded) {
    EXPECT_EQ(rateOf({0x40, 0x0E, 0xAC, 0x44}), 44100);
    EXPECT_EQ(rateOf({0x40, 0x0D, 0xAC, 0x44}), 22050);
    EXPECT_EQ(rateOf({0x40, 0x0E, 0xBB, 0x80}), 48000);
}

TEST(AiffReaderRate, LastBitShiftedOutRoundsHalfUp) {
    EXPECT_EQ(rateOf({0x40, 0x0E, 0xAC, 0x44, 0x80, 0x00}), 44101);
    EXPECT_EQ(rateOf({0x40, 0x0E, 0xAC, 0x44, 0x7F, 0xFF}), 44100);
}

TEST(AiffReaderRate, ExponentOf30TakesTheMantissaWhole) {
    EXPECT_EQ(rateOf({0x40, 0x1E, 0x00, 0x01, 0x00, 0x00}), 65536);
}

TEST(AiffReaderRate, ShiftOf32OrMoreKeepsOnlyTheRoundingBit) {
    EXPECT_EQ(rateOf({0x3F, 0xFE, 0x80, 0x00, 0x00, 0x00}), 1);
    EXPECT_EQ(rateOf({0x3F, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF}), 0);
}

TEST(AiffReaderRate, WrittenRatesReadBack) {
    for (const int32_t rate : {1, 8000, 11025, 44100, 96000, 192000}) {
        EXPECT_EQ(AiffReader::extendedToRate(AiffChunk::extendedRate(rate).data()), rate);
    }
}

// Chunk walk

TEST(AiffReaderWalk, UnknownChunkBetweenCommonAndSoundDataIsSkipped) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.chunks().insert(writer.chunks().begin() + 1, AiffChunk::raw("MARK", std::vector<uint8_t>(30, 0xEE)));
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, ChunksAreReadInAnyOrder) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    std::swap(writer.chunks()[0], writer.chunks()[1]);
    ParsedAiff reader(writer);
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, LaterChunksReplaceEarlierOnes) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.append(AiffChunk::common(1, 2, 16, 22050));
    writer.append(AiffChunk::soundData({0x20, 0x00, 0xE0, 0x00}));
    ParsedAiff reader(writer);
    EXPECT_EQ(reader->sampleRate(), 22050);
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{0.25f, -0.25f}));
}

TEST(AiffReaderWalk, TrailingZeroBytesEndTheWalkWithoutError) {
    std::vector<uint8_t> bytes = monoFile({0x40, 0x00}).bytes();
    bytes.resize(bytes.size() + 7, 0);
    ParsedAiff reader(bytes);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(reader->sampleCount(), 1);
}

TEST(AiffReaderWalk, FormSizeDisagreeingWithTheFileChangesNothing) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.setDeclaredFormSize(4);
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, SoundDataOffsetBytesAreSkipped) {
    RexFileWriter writer;
    writer.append(AiffChunk::common(1, 1, 16, 44100));
    writer.append(AiffChunk::soundData({0x40, 0x00}, 6));
    ParsedAiff reader(writer);
    EXPECT_EQ(reader->soundDataSize(), 2);
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, ZeroPadByteAfterAnOddChunkIsSkipped) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.chunks().insert(writer.chunks().begin(), AiffChunk::raw("NAME", {'a', 'b', 'c'}));
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, OddChunkWrittenWithoutPaddingStillReads) {
    RexFileWriter writer = aiffFile(1, 3, 8, {0x40, 0x20, 0x10});
    writer.chunks()[1].padded = false;
    writer.chunks().insert(writer.chunks().begin(), AiffChunk::raw("NAME", {'a'}));
    writer.chunks()[0].padded = false;
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(reader->channelCount(), 1);
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{0.5f, 0.25f, 0.125f}));
}

TEST(AiffReaderWalk, CommonChunkLongerThanItsFieldsIsSkippedToItsEnd) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.chunks()[0].body.resize(24, 0x53);  // would read as an "SSSS" chunk header if not skipped
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
    EXPECT_EQ(samplesOf(*reader), std::vector<float>{0.5f});
}

TEST(AiffReaderWalk, ApplicationChunksAreSkippedByThePlainAiffReader) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.append(AiffChunk::raw("APPL", {'s', 't', 'o', 'c', 1, 2}));
    ParsedAiff reader(writer);
    EXPECT_FALSE(reader->failed());
}

// Files refused

TEST(AiffReaderRefusal, FileNotStartingWithFormOrRiffIsRefused) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.setFormIdentifier("JUNK");
    expectRefused(*ParsedAiff(writer), "neither FORM nor RIFF");
    writer.setFormIdentifier("RIFF");
    expectRefused(*ParsedAiff(writer), "not WAVE");
}

TEST(AiffReaderRefusal, FormTypeOtherThanAiffIsRefused) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.setFormType("AIFC");
    expectRefused(*ParsedAiff(writer), "form type");
}

TEST(AiffReaderRefusal, AFileThatCannotBeOpenedIsRefusedWithTheReason) {
    TempDir dir;
    InputFile file(dir.file("absent.rex").c_str());
    AiffReader reader(file);
    reader.parse();
    expectRefused(reader, "cannot be opened: No such file or directory");
}

TEST(AiffReaderRefusal, FileWithoutCommonChunkIsRefused) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.removeChunks("COMM");
    expectRefused(*ParsedAiff(writer), "no COMM");
}

TEST(AiffReaderRefusal, SampleSizesOutside1To32BitsAreRefused) {
    for (const int16_t bits : {0, -16, 33}) {
        expectRefused(*ParsedAiff(aiffFile(1, 1, bits, {0x40, 0x00, 0x00, 0x00})), "sample size");
    }
}

TEST(AiffReaderRefusal, CommonChunkTooShortForItsFieldsIsRefused) {
    RexFileWriter writer = monoFile({0x40, 0x00});
    writer.chunks()[0].body.resize(10);
    expectRefused(*ParsedAiff(writer), "COMM chunk is too short");
}

TEST(AiffReaderRefusal, SoundDataSizeSmallerThanItsOffsetPlus8IsRefused) {
    RexFileWriter writer;
    writer.append(AiffChunk::common(1, 1, 16, 44100));
    writer.append(AiffChunk::soundData({0x40, 0x00}, 4));
    writer.chunks()[1].declaredSize = 11;
    expectRefused(*ParsedAiff(writer), "smaller than its offset plus 8");
}

TEST(AiffReaderRefusal, SoundDataChunkTooShortForItsHeaderIsRefused) {
    RexFileWriter writer = monoFile({});
    writer.chunks()[1].body.resize(6);
    expectRefused(*ParsedAiff(writer), "SSND chunk is too short");
}

TEST(AiffReaderRefusal, ChunkClaimingMoreBytesThanTheFileHoldsIsRefused) {
    for (const char* identifier : {"SSND", "COMM", "MARK"}) {
        RexFileWriter writer = monoFile({0x40, 0x00});
        writer.append(AiffChunk::raw(identifier, std::vector<uint8_t>(24, 0)));
        writer.chunks().back().declaredSize = 0xFFFFFFF0u;
        expectRefused(*ParsedAiff(writer), "past the end of the file");
    }
}

TEST(AiffReaderRefusal, ChunkHeaderCutShortByTheEndOfTheFileIsRefused) {
    std::vector<uint8_t> bytes = monoFile({0x40, 0x00}).bytes();
    bytes.insert(bytes.end(), {'M', 'A', 'R', 'K', 0x00, 0x00});
    expectRefused(*ParsedAiff(bytes), "cut short");
}

}  // namespace

namespace {

// A COMM chunk declaring 22 bytes while it holds the 18 it needs would swallow the next chunk's
// header; the file must be refused rather than taken as a loop with no sound.
TEST(AiffReaderDamage, ChunkSizesThatLoseTheChunkWalkAreRefused) {
    RexFileWriter writer = monoFile({0x40, 0x00, 0x20, 0x00});
    writer.chunks()[0].declaredSize = 22;
    expectRefused(*ParsedAiff(writer), "a chunk's size is wrong");

    RexFileWriter silent = monoFile({0x40, 0x00});
    silent.removeChunks("SSND");
    expectRefused(*ParsedAiff(silent), "no SSND chunk");
}

TEST(AiffReaderDamage, AFileCutShortInsideItsSampleDataKeepsWhatArrived) {
    std::vector<uint8_t> bytes = monoFile({0x40, 0x00, 0x20, 0x00, 0x10, 0x00, 0x08, 0x00}).bytes();
    bytes.resize(bytes.size() - 3);
    ParsedAiff reader(bytes);
    EXPECT_FALSE(reader->failed()) << reader->failureReason();
    EXPECT_EQ(samplesOf(*reader), (std::vector<float>{0.5f, 0.25f}));
}

}  // namespace
