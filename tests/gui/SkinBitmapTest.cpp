#include "GuiTesting.h"
#include "platform/software/SoftwareCanvas.h"

namespace {

constexpr Colour ground{30, 30, 30};
constexpr Colour nearWhite{254, 255, 255};
constexpr Colour cap{150, 150, 150};

class SkinBitmapTest : public GuiFixture {
protected:
    // A 17 x 9 handle: grey cap, two pure white corners and one nearly white pixel.
    SkinBitmap* handle() {
        RgbImage picture(17, 9, cap);
        picture.setPixel(0, 0, kWhite);
        picture.setPixel(16, 8, kWhite);
        picture.setPixel(8, 4, nearWhite);
        return bitmap(131, picture);
    }
    SoftwareCanvas canvas{40, 40, ground, pointer()};
};

TEST_F(SkinBitmapTest, OnlyPureWhiteIsTransparent) {
    SkinBitmap* bitmap = handle();
    bitmap->drawTransparent(canvas, {10, 10, 27, 19}, {0, 0});
    const RgbImage& drawn = canvas.picture();
    EXPECT_TRUE(drawn.pixel(10, 10).sameRgb(ground));
    EXPECT_TRUE(drawn.pixel(26, 18).sameRgb(ground));
    EXPECT_TRUE(drawn.pixel(18, 14).sameRgb(nearWhite));
    EXPECT_TRUE(drawn.pixel(11, 10).sameRgb(cap));
    bitmap->draw(canvas, {10, 10, 27, 19}, {0, 0});
    EXPECT_TRUE(drawn.pixel(10, 10).sameRgb(kWhite));
}

TEST_F(SkinBitmapTest, DrawingIsClippedToThePictureAndAMissingPictureDrawsNothing) {
    SkinBitmap* bitmap = handle();
    bitmap->draw(canvas, {0, 0, 40, 40}, {8, 4});  // far larger than what is left of the picture
    EXPECT_TRUE(canvas.picture().pixel(0, 0).sameRgb(nearWhite));
    EXPECT_TRUE(canvas.picture().pixel(8, 4).sameRgb(kWhite));
    EXPECT_TRUE(canvas.picture().pixel(9, 4).sameRgb(ground));
    EXPECT_TRUE(canvas.picture().pixel(8, 5).sameRgb(ground));
    bitmap->draw(canvas, {20, 20, 25, 25}, {-3, -3});
    EXPECT_TRUE(canvas.picture().pixel(22, 22).sameRgb(ground));
    EXPECT_TRUE(canvas.picture().pixel(23, 23).sameRgb(kWhite));

    auto* missing = new SkinBitmap(platform, 140);
    EXPECT_EQ(missing->width(), 0);
    missing->draw(canvas, {0, 0, 40, 40}, {0, 0});
    missing->drawTransparent(canvas, {0, 0, 40, 40}, {0, 0});
    EXPECT_TRUE(canvas.picture().pixel(30, 30).sameRgb(ground));
    missing->release();
}

TEST_F(SkinBitmapTest, ReferencesCountDownToZeroAndNoFurther) {
    const std::int32_t before = SkinBitmap::liveCount();
    auto* shared = new SkinBitmap(platform, 131);
    shared->retain();
    shared->release();
    EXPECT_EQ(shared->refCount(), 1);
    shared->release();
    EXPECT_EQ(SkinBitmap::liveCount(), before);
}

TEST_F(SkinBitmapTest, FillAndOutlineTogetherCoverTheRectangle) {
    canvas.setFillColour({1, 2, 3});
    canvas.fillRect({0, 0, 10, 10});
    EXPECT_TRUE(canvas.picture().pixel(0, 0).sameRgb(ground));
    EXPECT_TRUE(canvas.picture().pixel(1, 1).sameRgb({1, 2, 3}));
    EXPECT_TRUE(canvas.picture().pixel(9, 9).sameRgb({1, 2, 3}));
    EXPECT_TRUE(canvas.picture().pixel(10, 10).sameRgb(ground));
    canvas.setFrameColour({9, 9, 9});
    canvas.drawFrameRect({0, 0, 10, 10});
    for (std::int32_t i = 0; i <= 10; ++i) {
        EXPECT_TRUE(canvas.picture().pixel(i, 0).sameRgb({9, 9, 9})) << i;
        EXPECT_TRUE(canvas.picture().pixel(0, i).sameRgb({9, 9, 9})) << i;
    }
}

}  // namespace
