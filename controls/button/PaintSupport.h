#pragma once

// Small helpers shared by the button's paint pipeline, face painters, caption and icon code.

#include "platform/host/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace sorrel::controls {

// The runtime's float-to-integer conversion: to the nearest integer, halves to even.
inline int32_t round_half_even(double value)
{
    return host::to_int_half_even(value);
}

// ShiftColor's arithmetic, inline for the painters that shade every row: red and green move by
// `amount`, blue by `amount` or, when `proportional`, by blue * amount / 192; each channel is
// clamped to 0..255.
inline uint32_t shifted_colour(uint32_t colour, int32_t amount, bool proportional)
{
    auto channel = [](int64_t value) { return uint32_t(std::clamp<int64_t>(value, 0, 255)); };
    const int64_t blue = (colour >> 16) & 0xFF;
    return channel(int64_t(colour & 0xFF) + amount) | (channel(int64_t((colour >> 8) & 0xFF) + amount) << 8)
        | (channel(proportional ? blue + blue * amount / 192 : blue + amount) << 16);
}

// The face's size as the surface reports it (single precision). Offsets are applied before
// rounding, so that W - 3 of a fractional width rounds the way the face painters expect.
struct FaceSize {
    float w {0};
    float h {0};
    int32_t W(int32_t delta = 0) const { return round_half_even(double(w) + delta); }
    int32_t H(int32_t delta = 0) const { return round_half_even(double(h) + delta); }
};

// The icon's side in pixels. A size code outside 1..4 can only come from a damaged property
// store; it draws at the nearest valid size.
constexpr int32_t icon_side(int32_t IconSize)
{
    return std::clamp<int32_t>(IconSize, 1, 4) * 8;
}

// A selected option button is painted with its state complemented (up 0 becomes -1, pressed 2
// becomes -3, ...); the painter's selected branch reads the negative state and the original
// comes back when the painter ends, however it ends.
class SelectedStateScope {
public:
    SelectedStateScope(int32_t& state, bool selected)
        : m_state(state)
    {
        if (selected)
            m_state = ~m_state;
    }
    ~SelectedStateScope()
    {
        if (m_state < 0)
            m_state = m_state == INT32_MIN ? INT32_MAX : std::abs(m_state) - 1;
    }
    SelectedStateScope(const SelectedStateScope&) = delete;
    SelectedStateScope& operator=(const SelectedStateScope&) = delete;

private:
    int32_t& m_state;
};

} // namespace sorrel::controls
