#pragma once

// One-pixel solid lines in device coordinates, with the pixel choice of the Windows DIB engine:
// Bresenham stepping with a tie bias that depends on the octant, the end point excluded, and
// clipping computed analytically so that a clipped line lights exactly the pixels the unclipped
// line would, however far away its ends lie.

#include "platform/gdi/Bresenham.h"
#include "platform/gdi/Color.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PixelFill.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace sorrel::gdi {

// Any line, any clipping.
void stroke_line_general(DeviceContext& dc, Point64 from, Point64 to, Color color);

// The half-open run [start, end) that a horizontal or vertical line from `from` to `to` covers
// along its axis: the end point excluded, in the direction of travel.
inline void line_span(int64_t from, int64_t to, int64_t& start, int64_t& end)
{
    start = from;
    end = to;
    if (from > to) {
        start = to + 1;
        end = from + 1;
        // As on Windows, an end one past INT_MAX wraps around, and such a line draws nothing.
        if (end > INT32_MAX)
            end = INT32_MIN;
    }
}

inline void stroke_line(DeviceContext& dc, Point64 from, Point64 to, Color color)
{
    // Shading and frames draw horizontal and vertical lines without a clip region by the dozen:
    // those are filled here directly.
    Surface* surface = dc.surface();
    if (!surface || dc.clip_region() || (from.y != to.y && from.x != to.x)) {
        stroke_line_general(dc, from, to, color);
        return;
    }
    int64_t start, end;
    if (from.y == to.y) {
        line_span(from.x, to.x, start, end);
        if (from.y < 0 || from.y >= surface->height())
            return;
        int64_t x0 = std::max<int64_t>(start, 0);
        int64_t x1 = std::min<int64_t>(end, surface->width());
        if (x0 < x1)
            fill_pixels(surface->scanline(int(from.y)) + x0, size_t(x1 - x0), color);
        return;
    }
    line_span(from.y, to.y, start, end);
    if (from.x < 0 || from.x >= surface->width())
        return;
    int64_t y1 = std::min<int64_t>(end, surface->height());
    for (int64_t y = std::max<int64_t>(start, 0); y < y1; ++y)
        surface->scanline(int(y))[from.x] = color;
}

} // namespace sorrel::gdi
