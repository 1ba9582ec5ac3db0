#pragma once

// Exact 128-bit intermediates for the drawing layer: the product of two 64-bit values, sums and
// differences of such products, and their quotient by a positive 64-bit divisor when that quotient
// fits in 64 bits again. Line clipping and polygon scan conversion multiply a coordinate distance
// by a length, which can outgrow 64 bits even though the step count they solve for never does.
// 32-bit compilers have no 128-bit integer type, so the few operations needed are written here.

#include <compare>
#include <cstdint>

namespace sorrel::gdi {

class Int128 {
public:
    constexpr Int128() = default;
    constexpr Int128(int64_t value)
        : m_high(value < 0 ? -1 : 0)
        , m_low(uint64_t(value))
    { }
    static constexpr Int128 from_parts(int64_t high, uint64_t low)
    {
        Int128 v;
        v.m_high = high;
        v.m_low = low;
        return v;
    }

    static Int128 product(int64_t a, int64_t b)
    {
        int64_t small;
        if (!__builtin_mul_overflow(a, b, &small))
            return small;
        // Four 32 x 32-bit partial products of the magnitudes; neither magnitude exceeds 2^63,
        // so the high half stays below 2^62 and the sign is applied by negating.
        const uint64_t mask = 0xFFFFFFFFu;
        uint64_t ua = a < 0 ? 0 - uint64_t(a) : uint64_t(a);
        uint64_t ub = b < 0 ? 0 - uint64_t(b) : uint64_t(b);
        uint64_t low_low = (ua & mask) * (ub & mask);
        uint64_t high_low = (ua >> 32) * (ub & mask);
        uint64_t low_high = (ua & mask) * (ub >> 32);
        uint64_t high_high = (ua >> 32) * (ub >> 32);
        uint64_t middle = (low_low >> 32) + (high_low & mask) + low_high;
        Int128 magnitude = from_parts(
            int64_t(high_high + (high_low >> 32) + (middle >> 32)), (middle << 32) | (low_low & mask));
        return (a < 0) != (b < 0) ? -magnitude : magnitude;
    }

    int64_t high() const { return m_high; }
    uint64_t low() const { return m_low; }
    bool is_negative() const { return m_high < 0; }
    bool fits_int64() const { return m_high == int64_t(m_low) >> 63; }
    // The value itself when it fits in 64 bits (see fits_int64), else its low 64 bits.
    int64_t to_int64() const { return int64_t(m_low); }

    // Arithmetic wraps modulo 2^128 like an unsigned type, so no sum here is undefined.
    friend Int128 operator+(Int128 a, Int128 b)
    {
        uint64_t low = a.m_low + b.m_low;
        return from_parts(int64_t(uint64_t(a.m_high) + uint64_t(b.m_high) + (low < a.m_low ? 1 : 0)), low);
    }
    friend Int128 operator-(Int128 a) { return from_parts(int64_t(~uint64_t(a.m_high)), ~a.m_low) + 1; }
    friend Int128 operator-(Int128 a, Int128 b) { return a + -b; }
    // The high half is compared as signed and the low half as unsigned: two's complement order.
    friend auto operator<=>(const Int128&, const Int128&) = default;

private:
    int64_t m_high {0};
    uint64_t m_low {0};
};

enum class Rounding {
    TowardZero,
    Down,
    Up,
};

// `numerator / denominator` rounded as asked. The denominator is positive and the quotient fits
// in 64 bits; callers bound their arguments so that it does.
inline int64_t divide(Int128 numerator, int64_t denominator, Rounding rounding)
{
    const bool negative = numerator.is_negative();
    const uint64_t den = uint64_t(denominator);
    uint64_t quotient = 0, remainder = 0;
    if (numerator.fits_int64()) {
        uint64_t n = uint64_t(numerator.to_int64());
        if (negative)
            n = 0 - n;
        quotient = n / den;
        remainder = n % den;
    } else {
        // Restoring division of the magnitude, one quotient bit at a time: only coordinates
        // billions of pixels away come here. The high half is below the divisor because the
        // quotient fits, so the remainder starts there; as the divisor is below 2^63, the
        // remainder doubled still fits in 64 bits.
        Int128 magnitude = negative ? -numerator : numerator;
        remainder = uint64_t(magnitude.high());
        for (int bit = 63; bit >= 0; --bit) {
            remainder = (remainder << 1) | ((magnitude.low() >> bit) & 1);
            quotient <<= 1;
            if (remainder >= den) {
                remainder -= den;
                quotient |= 1;
            }
        }
    }
    if (remainder != 0 && rounding == (negative ? Rounding::Down : Rounding::Up))
        ++quotient;
    return negative ? int64_t(0 - quotient) : int64_t(quotient);
}

} // namespace sorrel::gdi
