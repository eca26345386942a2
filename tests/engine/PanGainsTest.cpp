#include "engine/PanGains.h"

#include <gtest/gtest.h>

TEST(PanGains, CentreLeansSlightlyToTheRight) {
    const PanGains centre = PanGains::forPosition(0);
    EXPECT_NEAR(centre.left, 0.70272f, 1e-5f);
    EXPECT_NEAR(centre.right, 0.71147f, 1e-5f);
}

TEST(PanGains, HardLeftIsLeftOnly) {
    const PanGains left = PanGains::forPosition(-64);
    EXPECT_EQ(left.left, 1.0f);
    EXPECT_EQ(left.right, 0.0f);
}

TEST(PanGains, OnlyTheLastPositionSilencesTheLeft) {
    EXPECT_EQ(PanGains::forPosition(63).left, 0.0f);
    EXPECT_EQ(PanGains::forPosition(63).right, 1.0f);
    EXPECT_GT(PanGains::forPosition(62).left, 0.0f);
}

TEST(PanGains, RightSnapsToFullFromPosition52) {
    const PanGains at51 = PanGains::forPosition(51);
    EXPECT_NEAR(at51.left, 0.14788f, 1e-5f);
    EXPECT_NEAR(at51.right, 0.98901f, 1e-5f);
    EXPECT_EQ(PanGains::forPosition(52).right, 1.0f);
}
