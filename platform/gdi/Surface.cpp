#include "platform/gdi/Surface.h"

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
    std::fill(m_pixels.begin(), m_pixels.end(), c);
}

void Surface::fill_rect(const Rect& r, Color c)
{
    Rect clipped = r.intersected(bounds());
    if (clipped.is_empty())
        return;
    for (int y = clipped.top; y < clipped.bottom; ++y)
        std::fill(scanline(y) + clipped.left, scanline(y) + clipped.right, c);
}

} // namespace sorrel::gdi
