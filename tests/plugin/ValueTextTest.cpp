#include "plugin/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
std::string fixedPoint(double value) {
    char text[16];
    writeFixedPoint(value, text);
    return text;
}
std::string integer(std::int32_t value) {
    char text[16];
    writeInteger(value, text);
    return text;
}
}  // namespace

TEST(ValueText, FixedPointFillsEightCharacters) {
    EXPECT_EQ(fixedPoint(0.5), "0.500000");
    EXPECT_EQ(fixedPoint(-0.5), "-0.50000");
    EXPECT_EQ(fixedPoint(3.25), "3.250000");
    EXPECT_EQ(fixedPoint(1234.5), "1234.500");
    EXPECT_EQ(fixedPoint(0.0), "0.000000");
}

TEST(ValueText, FixedPointSaysHugeBeyondItsRange) {
    EXPECT_EQ(fixedPoint(100000000.0), " Huge!  ");
    EXPECT_EQ(fixedPoint(-10000000.0), " Huge!  ");
    EXPECT_EQ(fixedPoint(std::nan("")), " Huge!  ");
    EXPECT_EQ(fixedPoint(99999999.0).size(), 8u);
}

TEST(ValueText, IntegersAreRightAlignedInSevenPlaces) {
    EXPECT_EQ(integer(42), "     42");
    EXPECT_EQ(integer(100000000), " Huge!  ");
    EXPECT_EQ(integer(-2147483647 - 1).size(), 8u);
}
