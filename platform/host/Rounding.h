#pragma once

// Conversions of measures to whole numbers, inline because painting converts sizes and
// positions many times per frame and the C library's rounding functions are calls on x86-64.

#include <cmath>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sorrel::host {

// The nearest integer, halves to even, as the Basic runtime converts to integers. NaN stays NaN.
inline double round_half_even(double v)
{
#ifdef __SSE2__
    // The conversion instruction rounds in the current mode, which is to nearest, ties to even.
    if (std::fabs(v) < 2147483647.0)
        return double(_mm_cvtsd_si32(_mm_set_sd(v)));
#endif
    return std::nearbyint(v);
}

// The same as a 32-bit integer: out-of-range values saturate and NaN gives 0.
inline int32_t to_int_half_even(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return int32_t(round_half_even(v));
}

// The nearest integer, halves away from zero, saturating; NaN gives 0.
inline int32_t to_int_half_away(double v)
{
    if (!(std::fabs(v) < 2147483647.0))
        return v > 0 ? INT32_MAX : (v < 0 ? INT32_MIN : 0);
    int32_t whole = int32_t(v); // toward zero; the difference below is exact
    double rest = v - double(whole);
    return whole + (rest >= 0.5) - (rest <= -0.5);
}

} // namespace sorrel::host
