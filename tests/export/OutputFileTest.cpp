#include "TempDir.h"
#include "export/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(OutputFile, OpeningAnExistingFileTruncatesIt) {
    TempDir dir;
    const std::string path = dir.file("old.mid");
    std::ofstream(path) << "previous contents";
    OutputFile output(path.c_str());
    EXPECT_FALSE(output.write("ab", 2));
    output.close();
    EXPECT_EQ(std::filesystem::file_size(path), 2u);
}

TEST(OutputFile, AFailedOpenTurnsBadAtTheFirstWrite) {
    TempDir dir;
    const std::string path = dir.file("missing-folder/groove.mid");
    OutputFile output(path.c_str());
    EXPECT_FALSE(output.isBad());
    EXPECT_TRUE(output.write("x", 1));
    EXPECT_TRUE(output.isBad());
}

TEST(OutputFile, WithoutAPathEveryWriteFails) {
    OutputFile output(nullptr);
    EXPECT_FALSE(output.isBad());
    EXPECT_TRUE(output.write("x", 1));
    EXPECT_TRUE(output.isBad());
    output.close();
}

TEST(OutputFile, AnEmptyWriteOnAGoodFileChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("empty.mid");
    OutputFile output(path.c_str());
    EXPECT_FALSE(output.write("", 0));
    output.close();
    output.close();
    EXPECT_FALSE(output.isBad());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}
