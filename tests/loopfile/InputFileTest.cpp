#include "TempDir.h"
#include "loopfile/InputFile.h"

#include <gtest/gtest.h>

#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <string>

namespace {

class InputFileTest : public ::testing::Test {
protected:
    std::string fileHolding(const std::string& content) {
        const std::string path = dir.file("input.bin");
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    TempDir dir;
};

TEST_F(InputFileTest, ReadRunningPastTheEndCopiesWhatIsThereAndLeavesTheRestOfTheBuffer) {
    InputFile file(fileHolding("ab").c_str());
    char buffer[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(file.read(buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 4), "abyz");
    EXPECT_TRUE(file.atEnd());
}

TEST_F(InputFileTest, ReadAfterTheEndTransfersNothingAndChangesNothing) {
    InputFile file(fileHolding("ab").c_str());
    char buffer[4] = {};
    file.read(buffer, 4);
    char later[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(file.read(later, 4), 0);
    EXPECT_EQ(std::string(later, 4), "wxyz");
    EXPECT_TRUE(file.atEnd());
}

TEST_F(InputFileTest, ReadingExactlyToTheEndIsNotYetTheEnd) {
    InputFile file(fileHolding("abcd").c_str());
    char buffer[4] = {};
    EXPECT_EQ(file.read(buffer, 4), 4);
    EXPECT_FALSE(file.atEnd());
    char later[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(file.read(later, 4), 0);
    EXPECT_EQ(std::string(later, 4), "wxyz");
    EXPECT_TRUE(file.atEnd());
}

TEST_F(InputFileTest, MissingFileReadsNothingIsNeverAtEndAndKeepsItsPath) {
    const std::string path = dir.file("missing.rex");
    InputFile file(path.c_str());
    char buffer[2] = {'x', 'y'};
    EXPECT_EQ(file.read(buffer, 2), 0);
    EXPECT_EQ(std::string(buffer, 2), "xy");
    EXPECT_FALSE(file.atEnd());
    EXPECT_EQ(std::string(file.path()), path);
    EXPECT_EQ(file.remaining(), 0);
}

TEST_F(InputFileTest, NullPathReadsLikeAMissingFile) {
    InputFile file(nullptr);
    char buffer[1] = {};
    EXPECT_EQ(file.read(buffer, 1), 0);
    EXPECT_STREQ(file.path(), "");
}

TEST_F(InputFileTest, ReadOfZeroOrFewerBytesChangesNothing) {
    InputFile file(fileHolding("ab").c_str());
    char buffer[2] = {'x', 'y'};
    EXPECT_EQ(file.read(buffer, 0), 0);
    EXPECT_EQ(file.read(buffer, -5), 0);
    EXPECT_EQ(std::string(buffer, 2), "xy");
    EXPECT_FALSE(file.atEnd());
    EXPECT_EQ(file.remaining(), 2);
}

TEST_F(InputFileTest, RemainingCountsTheBytesNotYetConsumed) {
    InputFile file(fileHolding("abcdef").c_str());
    EXPECT_EQ(file.remaining(), 6);
    char buffer[4] = {};
    file.read(buffer, 4);
    EXPECT_EQ(file.remaining(), 2);
    file.read(buffer, 4);
    EXPECT_EQ(file.remaining(), 0);
}

TEST_F(InputFileTest, SkipConsumesBytesWithoutHandingThemOut) {
    InputFile file(fileHolding(std::string(10000, 'a') + "bc").c_str());
    EXPECT_EQ(file.skip(10000), 10000);
    char buffer[2] = {};
    EXPECT_EQ(file.read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "bc");
}

TEST_F(InputFileTest, SkipPastTheEndStopsThereAndReachesTheEnd) {
    InputFile file(fileHolding("abc").c_str());
    EXPECT_EQ(file.skip(100), 3);
    EXPECT_TRUE(file.atEnd());
    EXPECT_EQ(file.remaining(), 0);
}

}  // namespace

namespace {

// Opening a FIFO for reading would wait for a writer that never comes; nothing but a regular file opens.
TEST(InputFileSpecial, FifosAndFoldersAreRefusedAtOnceWithTheReason) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.rex");
#ifndef _WIN32
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    InputFile pipe(fifo.c_str());
    ASSERT_NE(pipe.openFailure(), nullptr);
    EXPECT_NE(std::string(pipe.openFailure()).find("not a regular file"), std::string::npos);
#endif
    InputFile folder(dir.file("").c_str());
    char buffer[4] = {};
    EXPECT_EQ(folder.read(buffer, 4), 0);
    EXPECT_NE(folder.openFailure(), nullptr);
}

}  // namespace
