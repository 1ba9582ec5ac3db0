#pragma once

// Filling runs of 32-bit pixels at memory speed.

#include <cstddef>
#include <cstdint>

namespace sorrel::gdi {

// Runs of 16 pixels or more.
void fill_pixel_run(uint32_t* pixels, size_t count, uint32_t color);

inline void fill_pixels(uint32_t* pixels, size_t count, uint32_t color)
{
    if (count < 16) {
        for (size_t i = 0; i < count; ++i)
            pixels[i] = color;
        return;
    }
    fill_pixel_run(pixels, count, color);
}

} // namespace sorrel::gdi
