#pragma once

// Small helpers shared by the button's paint pipeline, face painters, caption and icon code.

#include "platform/host/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace sorrel::controls {

// ShiftColor's arithmetic, inline for the painters that shade every row: red and green move by
// `amount`, blue by `amount` or, when `proportional`, by blue * amount / 192; each channel is
// clamped to 0..255. The channels are taken apart as a signed 32-bit number with truncating
// division and remainder, so a value with the top bit set (-1, a system-colour reference)
// splits into a low red byte and green and blue of zero or below.
inline uint32_t shifted_colour(uint32_t colour, int32_t amount, bool proportional)
{
    auto channel = [](int64_t value) { return uint32_t(std::clamp<int64_t>(value, 0, 255)); };
    const int64_t value = int32_t(colour);
    const int64_t red = value & 0xFF;
    const int64_t green = (value / 256) % 256;
    const int64_t blue = (value / 65536) % 256;
    return channel(red + amount) | (channel(green + amount) << 8)
        | (channel(proportional ? blue + blue * amount / 192 : blue + amount) << 16);
}

// The contrast ratio of two colours as readers perceive it, from 1 (the same) to 21 (black on
// white), after the relative luminance of their sRGB channels.
inline double contrast_ratio(uint32_t a, uint32_t b)
{
    auto luminance = [](uint32_t c) {
        auto linear = [](uint32_t v) {
            const double s = double(v & 0xFF) / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c) + 0.7152 * linear(c >> 8) + 0.0722 * linear(c >> 16);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The first colour that reads on `fill` (contrast 4.5:1 or more), else black or white,
// whichever reads better.
inline uint32_t readable_colour(uint32_t fill, std::initializer_list<uint32_t> choices)
{
    constexpr double Readable = 4.5;
    for (uint32_t c : choices)
        if (contrast_ratio(c, fill) >= Readable)
            return c;
    return contrast_ratio(0, fill) >= contrast_ratio(0xFFFFFF, fill) ? 0u : 0xFFFFFFu;
}

// The face's size as the surface reports it (single precision). Offsets are applied before
// rounding, so that W - 3 of a fractional width rounds the way the face painters expect.
struct FaceSize {
    float w {0};
    float h {0};
    int32_t W(int32_t delta = 0) const { return host::to_int_half_even(double(w) + delta); }
    int32_t H(int32_t delta = 0) const { return host::to_int_half_even(double(h) + delta); }
};

// The icon's side in pixels. A size code outside 1..4 can only come from a damaged property
// store; it draws at the nearest valid size.
constexpr int32_t icon_side(int32_t IconSize)
{
    return std::clamp<int32_t>(IconSize, 1, 4) * 8;
}

} // namespace sorrel::controls
