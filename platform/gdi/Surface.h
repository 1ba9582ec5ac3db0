#pragma once

#include "platform/gdi/Color.h"
#include "platform/gdi/Rect.h"

#include <cstdint>
#include <vector>

namespace sorrel::gdi {

// A 32-bit pixel buffer. Every pixel access is bounds-checked by the callers' clipping;
// the accessors below clip as well, so a stray coordinate never writes outside the buffer.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height, Color fill = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rect bounds() const { return {0, 0, m_width, m_height}; }
    bool is_empty() const { return m_width <= 0 || m_height <= 0; }

    uint32_t* scanline(int y) { return m_pixels.data() + size_t(y) * size_t(m_width); }
    const uint32_t* scanline(int y) const { return m_pixels.data() + size_t(y) * size_t(m_width); }
    uint32_t* data() { return m_pixels.data(); }
    const uint32_t* data() const { return m_pixels.data(); }

    bool in_bounds(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    Color pixel(int x, int y) const { return in_bounds(x, y) ? scanline(y)[x] : 0; }
    void set_pixel(int x, int y, Color c)
    {
        if (in_bounds(x, y))
            scanline(y)[x] = c;
    }
    void fill(Color c);
    void fill_rect(const Rect& r, Color c);
    void resize(int width, int height, Color fill = 0);

    bool operator==(const Surface&) const = default;

private:
    int m_width {0};
    int m_height {0};
    std::vector<uint32_t> m_pixels;
};

} // namespace sorrel::gdi
