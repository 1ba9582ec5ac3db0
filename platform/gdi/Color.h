#pragma once

#include <cstdint>

namespace sorrel::gdi {

// A packed colour as the drawing operations take it: red in the low byte, then green, then blue
// (0x00BBGGRR). Surfaces store pixels in the same layout; the top byte of a pixel is its alpha
// in picture sources (0xFF opaque) and is ignored on drawing surfaces.
using Color = uint32_t;

constexpr Color rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr uint8_t red_of(Color c)
{
    return c & 0xFF;
}
constexpr uint8_t green_of(Color c)
{
    return (c >> 8) & 0xFF;
}
constexpr uint8_t blue_of(Color c)
{
    return (c >> 16) & 0xFF;
}
constexpr uint8_t alpha_of(Color c)
{
    return c >> 24;
}
constexpr Color without_alpha(Color c)
{
    return c & 0x00FFFFFF;
}
constexpr Color with_alpha(Color c, uint8_t a)
{
    return without_alpha(c) | (Color(a) << 24);
}

} // namespace sorrel::gdi
