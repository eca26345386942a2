#include <gtest/gtest.h>

#include "BmpView.h"

namespace {

struct BitmapShape {
    int id;
    int width;
    int height;
};

constexpr BitmapShape kPanelBitmaps[] = {
    {128, 250, 100}, {129, 20, 40}, {130, 20, 40}, {131, 17, 9}, {132, 8, 16}, {133, 8, 34}, {134, 19, 354},
};

BmpView viewOf(int id) { return BmpView(embeddedPanelBitmap(id)); }

}  // namespace

TEST(PanelArtwork, EveryBitmapIsAnUncompressedBottomUp24BitFileOfItsSize) {
    for (const BitmapShape& shape : kPanelBitmaps) {
        SCOPED_TRACE(shape.id);
        const BmpView bmp = viewOf(shape.id);
        ASSERT_TRUE(bmp.hasSignature());
        EXPECT_EQ(bmp.fileSizeField(), bmp.size());
        EXPECT_EQ(bmp.pixelOffset(), BmpView::kHeadersSize);
        EXPECT_EQ(bmp.infoHeaderSize(), 40u);
        EXPECT_EQ(bmp.width(), shape.width);
        EXPECT_EQ(bmp.height(), shape.height);
        EXPECT_EQ(bmp.planes(), 1u);
        EXPECT_EQ(bmp.bitsPerPixel(), 24u);
        EXPECT_EQ(bmp.compression(), 0u);
        EXPECT_EQ(bmp.size(), BmpView::kHeadersSize + bmp.rowSize() * shape.height);
    }
}

TEST(PanelArtwork, OnlyThePanelIdsHaveBitmaps) {
    for (int id : {0, -1, 127, 135, 128 + 65536}) {
        const EmbeddedBitmap bitmap = embeddedPanelBitmap(id);
        EXPECT_EQ(bitmap.bytes, nullptr) << id;
        EXPECT_EQ(bitmap.size, 0u) << id;
    }
}

TEST(PanelArtwork, FaderHandleHasTransparentCornersAVisibleGlintAndARedCentreLine) {
    const BmpView handle = viewOf(131);
    int transparent = 0;
    int glints = 0;
    for (int y = 0; y < handle.height(); ++y) {
        for (int x = 0; x < handle.width(); ++x) {
            transparent += handle.pixel(x, y) == kTransparentWhite;
            glints += handle.pixel(x, y) == kFaderHandleGlint;
        }
    }
    EXPECT_GE(transparent, 2);
    EXPECT_GE(glints, 1);
    // The middle of the middle row is where the eye reads the fader's value.
    EXPECT_EQ(handle.pixel(handle.width() / 2, handle.height() / 2), kFaderHandleCentreLine);
}

TEST(PanelArtwork, TwoStateBitmapsShowTheFirstStateAboveTheSecond) {
    struct TwoStates {
        int id;
        SkinRgb first;
        SkinRgb second;
    };
    for (const TwoStates& bitmap : {TwoStates{129, kButtonReleased, kButtonPressed},
                                    TwoStates{130, kButtonReleased, kButtonPressed}, TwoStates{132, kLedOff, kLedOn}}) {
        SCOPED_TRACE(bitmap.id);
        const BmpView bmp = viewOf(bitmap.id);
        const int half = bmp.height() / 2;
        EXPECT_TRUE(bmp.containsInRows(bitmap.first, 0, half));
        EXPECT_FALSE(bmp.containsInRows(bitmap.second, 0, half));
        EXPECT_TRUE(bmp.containsInRows(bitmap.second, half, bmp.height()));
        EXPECT_FALSE(bmp.containsInRows(bitmap.first, half, bmp.height()));
    }
}

TEST(PanelArtwork, FilterModeImagesLightTheUpperThenTheLowerLed) {
    const BmpView bmp = viewOf(133);
    constexpr int kImageHeight = 17;
    constexpr int kLedHeight = 8;
    for (int image = 0; image < 2; ++image) {
        SCOPED_TRACE(image);
        const int top = image * kImageHeight;
        const int lowerLedTop = top + kImageHeight - kLedHeight;
        EXPECT_EQ(bmp.containsInRows(kModeLedOn, top, top + kLedHeight), image == 0);
        EXPECT_EQ(bmp.containsInRows(kModeLedOn, lowerLedTop, top + kImageHeight), image == 1);
        EXPECT_EQ(bmp.containsInRows(kModeLedOff, top, top + kLedHeight), image == 1);
        EXPECT_EQ(bmp.containsInRows(kModeLedOff, lowerLedTop, top + kImageHeight), image == 0);
    }
}

TEST(PanelArtwork, SyncModeImageKLightsOnlyThePositionAPressThereSelects) {
    const BmpView bmp = viewOf(134);
    constexpr int kImageHeight = 59;
    // Offsets from the switch's top that select each of its six positions.
    constexpr int kPositionStarts[] = {0, 9, 19, 29, 39, 49, kImageHeight};
    for (int image = 0; image < 6; ++image) {
        for (int position = 0; position < 6; ++position) {
            const int top = image * kImageHeight;
            EXPECT_EQ(bmp.containsInRows(kSwitchLitStep, top + kPositionStarts[position],
                                         top + kPositionStarts[position + 1]),
                      position == image)
                << "image " << image << ", position " << position;
        }
    }
}
