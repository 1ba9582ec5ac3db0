// The 128-bit helper behind line clipping and polygon edges: exact products at the extremes,
// and every rounding of a division on both the 64-bit and the long-division path.

#include "platform/gdi/Int128.h"

#include <gtest/gtest.h>

#include <random>

using namespace sorrel::gdi;

TEST(Int128, ProductsAreExactAtTheExtremes)
{
    const int64_t min = INT64_MIN, max = INT64_MAX;
    EXPECT_EQ(Int128::product(min, min), Int128::from_parts(int64_t(1) << 62, 0));
    // (2^63 - 1) * -2^63 = -2^126 + 2^63
    EXPECT_EQ(Int128::product(max, min), Int128::from_parts(-(int64_t(1) << 62), uint64_t(1) << 63));
    EXPECT_EQ(Int128::product(-1, min), Int128::from_parts(0, uint64_t(1) << 63));
    EXPECT_FALSE(Int128::product(-1, min).fits_int64());
    EXPECT_TRUE(Int128::product(-1, max).fits_int64());
    EXPECT_LT(Int128::product(max, min), Int128::product(-1, 1));
    EXPECT_EQ(Int128::product(min, 3) - Int128::product(min, 3), Int128(0));
}

TEST(Int128, DivisionRoundsAsAskedOnBothPaths)
{
    EXPECT_EQ(divide(-7, 2, Rounding::TowardZero), -3);
    EXPECT_EQ(divide(-7, 2, Rounding::Down), -4);
    EXPECT_EQ(divide(-7, 2, Rounding::Up), -3);
    EXPECT_EQ(divide(7, 2, Rounding::Down), 3);
    EXPECT_EQ(divide(7, 2, Rounding::Up), 4);
    EXPECT_EQ(divide(-8, 2, Rounding::Down), -4);

    const int64_t big = int64_t(1) << 62;
    Int128 above = Int128::product(big, 8) + 1; // 2^65 + 1
    EXPECT_EQ(divide(above, 8, Rounding::TowardZero), big);
    EXPECT_EQ(divide(above, 8, Rounding::Up), big + 1);
    EXPECT_EQ(divide(-above, 8, Rounding::TowardZero), -big);
    EXPECT_EQ(divide(-above, 8, Rounding::Down), -big - 1);
    EXPECT_EQ(divide(-above, 8, Rounding::Up), -big);
    // The largest divisor, where the doubled remainder comes closest to 64 bits.
    Int128 n = Int128::product(INT64_MAX, INT64_MAX - 1) + 5;
    EXPECT_EQ(divide(n, INT64_MAX, Rounding::Down), INT64_MAX - 1);
    EXPECT_EQ(divide(n, INT64_MAX, Rounding::Up), INT64_MAX);
}

#ifdef __SIZEOF_INT128__
// Where the compiler has a 128-bit type, it checks the helper on values of every size.
TEST(Int128, AgreesWithTheCompilersType)
{
    std::mt19937_64 random(22);
    auto any = [&]() { return int64_t(random()) >> (random() % 64); };
    for (int i = 0; i < 20000; ++i) {
        int64_t a = any(), b = any(), c = any();
        int64_t den = (any() & INT64_MAX) | 1;
        __int128 wide = __int128(a) * b + c;
        Int128 ours = Int128::product(a, b) + c;
        ASSERT_EQ(ours, Int128::from_parts(int64_t(wide >> 64), uint64_t(wide))) << a << " * " << b;
        __int128 q = wide / den;
        if (q > INT64_MAX - 1 || q < INT64_MIN + 1)
            continue;
        bool inexact = wide % den != 0;
        ASSERT_EQ(divide(ours, den, Rounding::TowardZero), int64_t(q)) << a << " * " << b << " / " << den;
        ASSERT_EQ(divide(ours, den, Rounding::Down), int64_t(q) - (inexact && wide < 0 ? 1 : 0));
        ASSERT_EQ(divide(ours, den, Rounding::Up), int64_t(q) + (inexact && wide > 0 ? 1 : 0));
    }
}
#endif
