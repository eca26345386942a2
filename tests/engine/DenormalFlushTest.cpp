#include "engine/DenormalFlush.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float tinyProduct() {
    volatile float smallest = 1e-37f;
    volatile float factor = 1e-3f;
    return smallest * factor;
}

}  // namespace

TEST(ScopedDenormalFlush, FlushesResultsBelowTheNormalRangeOnlyWhileAlive) {
    ASSERT_TRUE(ScopedDenormalFlush::isSupported());
    EXPECT_EQ(std::fpclassify(tinyProduct()), FP_SUBNORMAL);
    {
        const ScopedDenormalFlush flush;
        EXPECT_EQ(tinyProduct(), 0.0f);
    }
    EXPECT_EQ(std::fpclassify(tinyProduct()), FP_SUBNORMAL);
}
