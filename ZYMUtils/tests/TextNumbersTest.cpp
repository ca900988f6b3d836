#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "TextNumbers.h"

namespace {

struct NumberCase {
    const char* text;
    double asDouble;
    unsigned asUInt;
    int asInt;
};

// Expected values follow the "longest leading decimal number" rule by hand.
const NumberCase kCases[] = {
    {"2", 2.0, 2, 2},
    {"2.75", 2.75, 2, 2},
    {"-1.5", -1.5, 0, -1},
    {"+3", 3.0, 3, 3},
    {"  7abc", 7.0, 7, 7},
    {".5", 0.5, 0, 0},
    {"5.", 5.0, 5, 5},
    {"1e+15", 1e15, 1, 1},
    {"1e", 1.0, 1, 1},
    {"2E-2x", 0.02, 2, 2},
    {"abc", 0.0, 0, 0},
    {"", 0.0, 0, 0},
    {"-", 0.0, 0, 0},
    {".", 0.0, 0, 0},
    {"0x10", 0.0, 0, 0},
    {"inf", 0.0, 0, 0},
    {"nan", 0.0, 0, 0},
    {"99999999999", 99999999999.0, UINT_MAX, INT_MAX},
    {"-99999999999", -99999999999.0, 0, INT_MIN},
};

TEST(TextNumbers, ReadTheLeadingDecimalNumber)
{
    for (const NumberCase& c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(lu::leadingDouble(c.text), c.asDouble);
        EXPECT_FLOAT_EQ(lu::leadingFloat(c.text), static_cast<float>(c.asDouble));
        EXPECT_EQ(lu::leadingUInt(c.text), c.asUInt);
        EXPECT_EQ(lu::leadingInt(c.text), c.asInt);
    }
}

TEST(TextNumbers, OutOfRangeValuesSaturate)
{
    EXPECT_TRUE(std::isinf(lu::leadingFloat("1e39")));
    EXPECT_GT(lu::leadingFloat("1e39"), 0.0f);
    EXPECT_TRUE(std::isinf(lu::leadingDouble("-1e999")));
    EXPECT_EQ(lu::leadingDouble("1e-999"), 0.0);
    EXPECT_EQ(lu::truncateToInt(3.9), 3);
    EXPECT_EQ(lu::truncateToInt(-0.5), 0);
    EXPECT_EQ(lu::truncateToInt(1e20), INT_MAX);
    EXPECT_EQ(lu::truncateToInt(-1e20), INT_MIN);
    EXPECT_EQ(lu::truncateToInt(NAN), 0);
}

} // namespace
