#include "TempDir.h"
#include "export/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

#if !defined(_WIN32)
#include "FileSizeLimit.h"

#include <sys/stat.h>

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// The bytes sit in the stream's buffer until close, so a full disk shows only there.
TEST(OutputFile, AFileThatCannotBeFlushedFailsAtCloseAndKeepsTheEarlierFile) {
    TempDir dir;
    const std::string path = dir.file("groove.mid");
    std::ofstream(path) << "earlier groove";
    {
        const FileSizeLimit full(8);
        OutputFile output(path.c_str());
        EXPECT_FALSE(output.write("a groove longer than eight bytes", 32));
        EXPECT_FALSE(output.close());
    }
    EXPECT_EQ(contentOf(path), "earlier groove");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(OutputFile, AFifoInTheDestinationsPlaceIsNeitherOpenedNorReplaced) {
    TempDir dir;
    const std::string fifo = dir.file("fifo.mid");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    OutputFile output(fifo.c_str());
    EXPECT_TRUE(output.write("x", 1));
    EXPECT_FALSE(output.close());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
#endif
