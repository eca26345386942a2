#include "gui/GestureTracker.h"

#include <gtest/gtest.h>

using Deferred = GestureTracker::Deferred;

TEST(GestureTrackerTest, OutsideAGestureNothingWaits) {
    GestureTracker gestures;
    EXPECT_FALSE(gestures.deferEditorClose());
    EXPECT_FALSE(gestures.deferDestruction());
    gestures.begin();
    EXPECT_EQ(gestures.end(), Deferred::nothing);
}

TEST(GestureTrackerTest, ACloseInsideNestedGesturesIsCarriedOutByTheOutermostOnce) {
    GestureTracker gestures;
    gestures.begin();
    gestures.begin();
    EXPECT_TRUE(gestures.deferEditorClose());
    EXPECT_EQ(gestures.end(), Deferred::nothing);
    EXPECT_TRUE(gestures.active());
    EXPECT_EQ(gestures.end(), Deferred::closeEditor);
    EXPECT_FALSE(gestures.active());
    gestures.begin();
    EXPECT_EQ(gestures.end(), Deferred::nothing);
}

TEST(GestureTrackerTest, DestructionSupersedesAnEarlierClose) {
    GestureTracker gestures;
    gestures.begin();
    EXPECT_TRUE(gestures.deferEditorClose());
    EXPECT_TRUE(gestures.deferDestruction());
    EXPECT_EQ(gestures.end(), Deferred::destroyInstance);
    EXPECT_EQ(gestures.end(), Deferred::nothing);
}
