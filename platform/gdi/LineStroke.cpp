#include "platform/gdi/LineStroke.h"

#include "platform/gdi/Bresenham.h"
#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace sorrel::gdi {

namespace {

// Very distant points are scaled down first, as the reference engine does, so that the error
// terms stay in range; this is where a line to (2^31 - 1, 5) ends up. Device points are 32-bit
// values plus a 32-bit origin, below 2^32, so a cropped point is below 2^29 and a line's dx and
// dy below 2^30: the error terms, products of two such lengths, fit in 64 bits.
Point64 crop(Point64 p)
{
    constexpr int64_t limit = 0x10000000;
    if (p.x >= limit || p.x <= -limit || p.y >= limit || p.y <= -limit) {
        p.x /= 8;
        p.y /= 8;
    }
    return p;
}

// The rectangles a line may draw in: the surface, or the clip region's rectangles within it,
// narrowed to the box [x0, x1) x [y0, y1).
template<class F>
void for_each_clip_rect(const DeviceContext& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1, F&& f)
{
    Rect bounds = dc.surface()->bounds();
    auto narrow = [&](const Rect& r) {
        Rect c {int(std::max<int64_t>(r.left, x0)), int(std::max<int64_t>(r.top, y0)),
            int(std::min<int64_t>(r.right, x1)), int(std::min<int64_t>(r.bottom, y1))};
        if (!c.is_empty())
            f(c);
    };
    if (!dc.clip_region()) {
        narrow(bounds);
        return;
    }
    for (const Rect& r : dc.clip_region()->rects()) {
        Rect c = r.intersected(bounds);
        if (!c.is_empty())
            narrow(c);
    }
}

void fill_rect(Surface& surface, const Rect& r, Color color)
{
    surface.fill_rect(r, color);
}

} // namespace

void stroke_line_general(DeviceContext& dc, Point64 from, Point64 to, Color color)
{
    Surface* surface = dc.surface();
    if (!surface || surface->is_empty())
        return;

    // Horizontal and vertical lines are spans: [start, end) in the direction of travel.
    if (from.y == to.y || from.x == to.x) {
        int64_t s, e;
        if (from.y == to.y) {
            line_span(from.x, to.x, s, e);
            for_each_clip_rect(
                dc, s, from.y, e, from.y + 1, [&](const Rect& r) { fill_rect(*surface, r, color); });
        } else {
            line_span(from.y, to.y, s, e);
            for_each_clip_rect(
                dc, from.x, s, from.x + 1, e, [&](const Rect& r) { fill_rect(*surface, r, color); });
        }
        return;
    }

    Point64 p1 = crop(from);
    Point64 p2 = crop(to);
    int64_t dx = p2.x - p1.x;
    int64_t dy = p2.y - p1.y;
    BresenhamLine params;
    params.dx = std::llabs(dx);
    params.dy = std::llabs(dy);
    params.octant = octant_mask(dx, dy);
    params.bias = params.biased() ? 1 : 0;
    const bool xmajor = params.x_major();
    const int x_inc = params.x_increasing() ? 1 : -1;
    const int y_inc = params.y_increasing() ? 1 : -1;
    const int64_t err_add_1 = xmajor ? 2 * params.dy - 2 * params.dx : 2 * params.dx - 2 * params.dy;
    const int64_t err_add_2 = xmajor ? 2 * params.dy : 2 * params.dx;

    int64_t bx0 = std::min(p1.x, p2.x), bx1 = std::max(p1.x, p2.x) + 1;
    int64_t by0 = std::min(p1.y, p2.y), by1 = std::max(p1.y, p2.y) + 1;
    for_each_clip_rect(dc, bx0, by0, bx1, by1, [&](const Rect& clip) {
        Point64 start, end;
        if (clip_bresenham(p1, p2, clip, params, start, end) == ClipResult::Outside)
            return;
        int64_t m = std::llabs(start.x - p1.x);
        int64_t n = std::llabs(start.y - p1.y);
        int64_t err;
        int64_t length;
        if (xmajor) {
            err = 2 * params.dy - params.dx + m * 2 * params.dy - n * 2 * params.dx;
            length = std::llabs(end.x - start.x) + 1;
        } else {
            err = 2 * params.dx - params.dy + n * 2 * params.dx - m * 2 * params.dy;
            length = std::llabs(end.y - start.y) + 1;
        }
        // The true end point is never drawn; a clipped end is an ordinary pixel of the line.
        if (end.x == p2.x && end.y == p2.y)
            --length;
        int x = int(start.x);
        int y = int(start.y);
        for (; length > 0; --length) {
            surface->scanline(y)[x] = color;
            if (err + params.bias > 0) {
                if (xmajor)
                    y += y_inc;
                else
                    x += x_inc;
                err += err_add_1;
            } else {
                err += err_add_2;
            }
            if (xmajor)
                x += x_inc;
            else
                y += y_inc;
        }
    });
}

} // namespace sorrel::gdi
