#include "gui/GestureScope.h"

#include <gtest/gtest.h>

#include <string>

TEST(GestureScopeTest, OutsideAGestureNothingIsDeferred) {
    EXPECT_FALSE(GestureScope::active());
    EXPECT_FALSE(GestureScope::deferWhileActive(this, [] { FAIL() << "ran work the caller should have run"; }));
}

TEST(GestureScopeTest, WorkWaitsForTheOutermostGestureAndRunsInOrder) {
    std::string log;
    {
        GestureScope outer;
        {
            GestureScope inner;
            EXPECT_TRUE(GestureScope::deferWhileActive(this, [&] { log += "close;"; }));
        }
        EXPECT_TRUE(GestureScope::active());
        EXPECT_TRUE(GestureScope::deferWhileActive(this, [&] { log += "destroy;"; }));
        EXPECT_EQ(log, "");
    }
    EXPECT_EQ(log, "close;destroy;");
    EXPECT_FALSE(GestureScope::active());
}

TEST(GestureScopeTest, WorkOfAnOwnerThatWentAwayIsDropped) {
    std::string log;
    int editor = 0;
    int instance = 0;
    {
        GestureScope gesture;
        GestureScope::deferWhileActive(&editor, [&] { log += "editor;"; });
        // Destroying the instance takes its editor along, which forgets what it had queued.
        GestureScope::deferWhileActive(&instance, [&] {
            GestureScope::forget(&editor);
            log += "instance;";
            EXPECT_FALSE(GestureScope::deferWhileActive(&instance, [] {}));
        });
        GestureScope::deferWhileActive(&editor, [&] { log += "late editor;"; });
    }
    EXPECT_EQ(log, "editor;instance;");
}
