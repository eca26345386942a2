#include "picture/BmpFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(BmpFile, WritesHeadersAndBottomUpRowsPaddedToFourBytes) {
    RgbPicture picture(1, 2);
    picture.setPixel(0, 0, {10, 20, 30});
    picture.setPixel(0, 1, {1, 2, 3});
    const std::vector<unsigned char> expected = {
        'B', 'M', 62, 0, 0,    0,    0, 0, 0,    0,    54, 0, 0, 0,  // file header
        40,  0,   0,  0, 1,    0,    0, 0, 2,    0,    0,  0, 1, 0,
        24,  0,   0,  0, 0,    0,  // size, 1 x 2, planes, bits, plain
        8,   0,   0,  0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0,  0, 0, 0,
        0,   0,   0,  0, 0,    0,  // 72 dpi, no palette
        3,   2,   1,  0,           // bottom row, blue first, one pad byte
        30,  20,  10, 0};
    EXPECT_EQ(encodeBmp(picture), expected);
    const std::optional<RgbPicture> readBack = decodeBmp(expected.data(), expected.size());
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->width(), 1);
    EXPECT_EQ(readBack->height(), 2);
    EXPECT_TRUE(readBack->pixel(0, 0) == (Rgb{10, 20, 30}));
    EXPECT_TRUE(readBack->pixel(0, 1) == (Rgb{1, 2, 3}));
}

TEST(BmpFile, ReadsBottomUpRowsWithPaddingAndRefusesOtherFiles) {
    // 2 x 2, 24 bits: rows of 6 bytes padded to 8, bottom row first.
    unsigned char file[54 + 16] = {'B', 'M'};
    file[10] = 54;
    file[14] = 40;
    file[18] = 2;
    file[22] = 2;
    file[26] = 1;
    file[28] = 24;
    const unsigned char pixels[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    std::memcpy(file + 54, pixels, sizeof pixels);
    const std::optional<RgbPicture> image = decodeBmp(file, sizeof file);
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->pixel(0, 1) == (Rgb{255, 0, 0}));
    EXPECT_TRUE(image->pixel(1, 1) == (Rgb{0, 255, 0}));
    EXPECT_TRUE(image->pixel(0, 0) == (Rgb{0, 0, 255}));
    EXPECT_TRUE(image->pixel(1, 0) == (Rgb{255, 255, 255}));
    EXPECT_FALSE(decodeBmp(file, sizeof file - 1));
    file[28] = 8;
    EXPECT_FALSE(decodeBmp(file, sizeof file));
}

}  // namespace
