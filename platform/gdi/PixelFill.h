#pragma once

// Filling runs of 32-bit pixels at memory speed: where wide characters are 32 bits (Linux), the C
// library's wide-character fill is a vectorised 32-bit fill. Windows has 16-bit wide characters;
// there the compiler vectorises the plain fill.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace sorrel::gdi {

inline void fill_pixels(uint32_t* pixels, size_t count, uint32_t color)
{
    if (count < 8) {
        for (size_t i = 0; i < count; ++i)
            pixels[i] = color;
        return;
    }
    if constexpr (sizeof(wchar_t) == sizeof(uint32_t))
        std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(color), count);
    else
        std::fill_n(pixels, count, color);
}

} // namespace sorrel::gdi
