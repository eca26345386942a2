#include "instrument/EngineGate.h"

#include <gtest/gtest.h>

TEST(EngineGate, AudioIsAdmittedOnlyWhileNoLoadIsOn) {
    EngineGate gate;
    {
        AudioPass pass(gate);
        EXPECT_TRUE(pass.mayUseEngine());
    }
    {
        LoadPass load(gate);
        EXPECT_TRUE(gate.loading());
        AudioPass pass(gate);
        EXPECT_FALSE(pass.mayUseEngine());
    }
    EXPECT_FALSE(gate.loading());
    AudioPass after(gate);
    EXPECT_TRUE(after.mayUseEngine());
}
