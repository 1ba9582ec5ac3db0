#pragma once

// Filling runs of 32-bit pixels at memory speed: the C library's wide-character fill is a
// vectorised 32-bit fill on every platform we build for.

#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace sorrel::gdi {

static_assert(sizeof(wchar_t) == sizeof(uint32_t), "pixel runs are filled as wide characters");

inline void fill_pixels(uint32_t* pixels, size_t count, uint32_t color)
{
    if (count < 8) {
        for (size_t i = 0; i < count; ++i)
            pixels[i] = color;
        return;
    }
    std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(color), count);
}

} // namespace sorrel::gdi
