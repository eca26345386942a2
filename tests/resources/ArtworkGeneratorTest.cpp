#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PanelBitmaps.h"
#include "TempDir.h"
#include "shared/PanelLayout.h"

namespace {

std::vector<std::string> generatedFiles() {
    std::vector<std::string> names{"PanelBitmaps.rc", "PanelBitmaps.h", "PanelBitmaps.cpp", "SkinColours.h"};
    for (int id = PanelLayout::firstBitmap; id < PanelLayout::afterLastBitmap; ++id) {
        names.push_back("bitmap" + std::to_string(id) + ".bmp");
    }
    return names;
}

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
    for (const std::string& name : generatedFiles()) {
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
