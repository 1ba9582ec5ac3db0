#include "platform/gdi/Surface.h"

#include "platform/gdi/PixelFill.h"

#include <algorithm>

namespace sorrel::gdi {

// Sizes are clamped so that a negative or absurd request gives an empty or bounded surface
// rather than an allocation failure.
static constexpr int max_side = 16384;

Surface::Surface(int width, int height, Color fill)
{
    resize(width, height, fill);
}

void Surface::resize(int width, int height, Color fill)
{
    m_width = std::clamp(width, 0, max_side);
    m_height = std::clamp(height, 0, max_side);
    if (m_width == 0 || m_height == 0)
        m_width = m_height = 0;
    m_pixels.assign(size_t(m_width) * size_t(m_height), fill);
}

void Surface::fill(Color c)
{
    fill_pixels(m_pixels.data(), m_pixels.size(), c);
}

void Surface::fill_rect(const Rect& r, Color c)
{
    Rect clipped = r.intersected(bounds());
    if (clipped.is_empty())
        return;
    if (clipped.left == 0 && clipped.right == m_width) {
        fill_pixels(scanline(clipped.top), size_t(clipped.height()) * size_t(m_width), c);
        return;
    }
    uint32_t* row = scanline(clipped.top) + clipped.left;
    const size_t stride = size_t(m_width);
    // Frames and vertical lines fill one-pixel columns by the dozen.
    if (clipped.width() == 1) {
        for (int y = clipped.top; y < clipped.bottom; ++y, row += stride)
            *row = c;
        return;
    }
    for (int y = clipped.top; y < clipped.bottom; ++y, row += stride)
        fill_pixels(row, size_t(clipped.width()), c);
}

} // namespace sorrel::gdi
