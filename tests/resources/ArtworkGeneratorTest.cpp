#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PanelBitmaps.h"
#include "TempDir.h"

namespace {

const char* const kGeneratedFiles[] = {
    "bitmap128.bmp", "bitmap129.bmp",   "bitmap130.bmp",  "bitmap131.bmp",    "bitmap132.bmp", "bitmap133.bmp",
    "bitmap134.bmp", "PanelBitmaps.rc", "PanelBitmaps.h", "PanelBitmaps.cpp", "SkinColours.h",
};

std::vector<char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void runGenerator(const TempDir& folder) {
    const std::string command =
        std::string("\"") + BREVATONE_ARTWORK_GENERATOR + "\" \"" + folder.path().string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace

TEST(ArtworkGenerator, TwoRunsWriteTheSameBytes) {
    TempDir first;
    TempDir second;
    runGenerator(first);
    runGenerator(second);
    for (const char* name : kGeneratedFiles) {
        const std::vector<char> bytes = readFile(first.path() / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, readFile(second.path() / name)) << name;
    }
}

TEST(ArtworkGenerator, TheProgramCarriesTheBitmapFilesTheResourcesAreMadeOf) {
    TempDir folder;
    runGenerator(folder);
    for (int id = 128; id <= 134; ++id) {
        const EmbeddedBitmap embedded = embeddedPanelBitmap(id);
        const std::vector<char> file = readFile(folder.path() / ("bitmap" + std::to_string(id) + ".bmp"));
        EXPECT_EQ(std::vector<char>(embedded.bytes, embedded.bytes + embedded.size), file) << id;
    }
}
