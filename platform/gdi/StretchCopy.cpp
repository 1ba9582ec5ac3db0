#include "platform/gdi/StretchCopy.h"

#include "platform/gdi/Int128.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace sorrel::gdi {

namespace {

struct Box {
    int64_t left {0};
    int64_t top {0};
    int64_t right {0};
    int64_t bottom {0};
    bool is_empty() const { return left >= right || top >= bottom; }
};

Box intersect(const Box& a, const Box& b)
{
    Box r {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom)};
    if (r.is_empty())
        return {};
    return r;
}

Box box_of(const Rect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// The cells of a signed-size rectangle: a negative size w at x covers x + w + 1 to x.
Box bounding_box(const BlitCoords& c)
{
    Box b {c.x, c.y, c.x + c.width, c.y + c.height};
    if (b.left > b.right) {
        int64_t t = b.left;
        b.left = b.right + 1;
        b.right = t + 1;
    }
    if (b.top > b.bottom) {
        int64_t t = b.top;
        b.top = b.bottom + 1;
        b.bottom = t + 1;
    }
    return b;
}

void offset(Box& b, int64_t dx, int64_t dy)
{
    b.left += dx;
    b.right += dx;
    b.top += dy;
    b.bottom += dy;
}

void order(Box& b)
{
    if (b.left > b.right)
        std::swap(b.left, b.right);
    if (b.top > b.bottom)
        std::swap(b.top, b.bottom);
}

// Narrows both visible rectangles to the parts that map onto each other. For a stretch each
// mapping is widened by a pixel on every side to absorb rounding; the exact choice is made later.
bool intersect_visible(BlitCoords& dst, Box& dst_vis, BlitCoords& src, Box& src_vis)
{
    if (src.width == dst.width && src.height == dst.height) {
        Box r = src_vis;
        offset(r, dst.x - src.x, dst.y - src.y);
        r = intersect(r, dst_vis);
        if (r.is_empty())
            return false;
        dst_vis = r;
        src_vis = r;
        offset(src_vis, src.x - dst.x, src.y - dst.y);
        return true;
    }

    Box r = src_vis;
    offset(r, -src.x - (src.width < 0 ? 1 : 0), -src.y - (src.height < 0 ? 1 : 0));
    r.left = r.left * dst.width / src.width;
    r.top = r.top * dst.height / src.height;
    r.right = r.right * dst.width / src.width;
    r.bottom = r.bottom * dst.height / src.height;
    order(r);

    // A mirrored source that doesn't fit in its surface shifts the destination instead.
    if (src.width < 0 && dst.width > 0 && (src.x + src.width + 1 < src_vis.left || src.x > src_vis.right))
        dst.x += (dst.width - r.right) - r.left;
    else if (src.width > 0 && dst.width < 0 && (src.x < src_vis.left || src.x + src.width > src_vis.right))
        dst.x -= r.right - (dst.width - r.left);
    if (src.height < 0 && dst.height > 0 && (src.y + src.height + 1 < src_vis.top || src.y > src_vis.bottom))
        dst.y += (dst.height - r.bottom) - r.top;
    else if (src.height > 0 && dst.height < 0 && (src.y < src_vis.top || src.y + src.height > src_vis.bottom))
        dst.y -= r.bottom - (dst.height - r.top);

    offset(r, dst.x, dst.y);
    r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    dst_vis = intersect(r, dst_vis);
    if (dst_vis.is_empty())
        return false;

    r = dst_vis;
    offset(r, -dst.x - (dst.width < 0 ? 1 : 0), -dst.y - (dst.height < 0 ? 1 : 0));
    r.left = src.x + r.left * src.width / dst.width;
    r.top = src.y + r.top * src.height / dst.height;
    r.right = src.x + r.right * src.width / dst.width;
    r.bottom = src.y + r.bottom * src.height / dst.height;
    order(r);
    r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    src_vis = intersect(r, src_vis);
    return !src_vis.is_empty();
}

// The error of each step is that of a pixel on the line, within a few times the longer length
// (a 32-bit size), so 64 bits hold it.
struct AxisStep {
    int64_t err_start {0};
    int64_t err_add_1 {0};
    int64_t err_add_2 {0};
    int64_t length {0};
    int src_inc {1};
    int dst_inc {1};
    bool stretch {false}; // destination longer than (or as long as) the source
    int64_t dst_start {0};
    int64_t src_start {0};
    int64_t dst_end {0};
    int64_t src_end {0};
};

// One axis of a stretch is drawn like a line from (src start, dst start) to (src end, dst end):
// the line's pixels pair each destination pixel with its source pixel. The first step's error
// is 3d - 2D rather than the line's 2d - D, which centres the choice on pixel midpoints; the
// line clipper finds the first and last visible pair.
bool axis_step(int64_t dst_start, int64_t dst_length, int64_t dst_vis_start, int64_t dst_vis_end,
    int64_t src_start, int64_t src_length, int64_t src_vis_start, int64_t src_vis_end, AxisStep& s)
{
    BresenhamLine line;
    line.dy = std::llabs(dst_length);
    line.dx = std::llabs(src_length);
    int octant = line.dx > line.dy ? 1 : 2;
    if (src_length < 0) {
        octant = 5 - octant;
        s.src_inc = -1;
    }
    if (dst_length < 0) {
        octant = 9 - octant;
        s.dst_inc = -1;
    }
    line.octant = octant_bit(octant);
    line.bias = line.dx > line.dy ? line.dy - line.dx : line.dx - line.dy;

    Point64 start {src_start, dst_start};
    Point64 end {src_start + src_length, dst_start + dst_length};
    Rect clip {int(std::clamp<int64_t>(src_vis_start, INT32_MIN, INT32_MAX)),
        int(std::clamp<int64_t>(dst_vis_start, INT32_MIN, INT32_MAX)),
        int(std::clamp<int64_t>(src_vis_end, INT32_MIN, INT32_MAX)),
        int(std::clamp<int64_t>(dst_vis_end, INT32_MIN, INT32_MAX))};
    Point64 first, last;
    if (clip_bresenham(start, end, clip, line, first, last) == ClipResult::Outside)
        return false;

    // The first error is built from m and n, up to 2^31 each, times twice a length of up to 2^31:
    // those products need the wide type even though their difference is small again.
    int64_t m = std::llabs(first.x - start.x);
    int64_t n = std::llabs(first.y - start.y);
    int64_t dx = line.dx, dy = line.dy;
    if (line.dx > line.dy) {
        s.err_start
            = (Int128::product(m, 2 * dy) - Int128::product(n, 2 * dx) + (3 * dy - 2 * dx)).to_int64();
        s.err_add_1 = 2 * dy - 2 * dx;
        s.err_add_2 = 2 * dy;
        s.length = std::llabs(last.x - first.x);
        s.stretch = false;
    } else {
        s.err_start
            = (Int128::product(n, 2 * dx) - Int128::product(m, 2 * dy) + (3 * dx - 2 * dy)).to_int64();
        s.err_add_1 = 2 * dx - 2 * dy;
        s.err_add_2 = 2 * dx;
        s.length = std::llabs(last.y - first.y);
        s.stretch = true;
    }
    // The end point is usually clipped away (it lies just past the rectangle); when it is,
    // the last visible pair is part of the copy.
    if (!(end == last)) {
        last.x += s.src_inc;
        last.y += s.dst_inc;
        ++s.length;
    }
    s.src_start = first.x;
    s.dst_start = first.y;
    s.src_end = last.x;
    s.dst_end = last.y;
    return true;
}

// A buffer of destination pixels covering `area`; pixels never written keep the target's colour.
class Canvas {
public:
    Canvas(const Surface& target, const Box& area)
        : m_area(area)
        , m_width(area.right - area.left)
        , m_pixels(size_t(m_width * (area.bottom - area.top)))
    {
        for (int64_t y = area.top; y < area.bottom; ++y)
            std::copy_n(
                target.scanline(int(y)) + area.left, m_width, &m_pixels[size_t((y - area.top) * m_width)]);
    }
    bool contains(int64_t x, int64_t y) const
    {
        return x >= 0 && x < m_width && y >= 0 && y < m_area.bottom - m_area.top;
    }
    uint32_t& at(int64_t x, int64_t y) { return m_pixels[size_t(y * m_width + x)]; }
    int64_t width() const { return m_width; }
    const Box& area() const { return m_area; }

private:
    Box m_area;
    int64_t m_width;
    std::vector<uint32_t> m_pixels;
};

class SourceReader {
public:
    explicit SourceReader(const Surface& source)
        : m_source(source)
    { }
    bool get(int64_t x, int64_t y, uint32_t& out) const
    {
        if (x < 0 || y < 0 || x >= m_source.width() || y >= m_source.height())
            return false;
        out = m_source.scanline(int(y))[x];
        return true;
    }

private:
    const Surface& m_source;
};

// One destination row from one source row. Stretching visits destination pixels, shrinking
// visits source pixels (so the last source pixel of a run wins).
void copy_row(Canvas& canvas, int64_t dst_x, int64_t dst_y, const SourceReader& source, int64_t src_x,
    int64_t src_y, const AxisStep& h)
{
    int64_t err = h.err_start;
    for (int64_t i = 0; i < h.length; ++i) {
        uint32_t pixel;
        if (canvas.contains(dst_x, dst_y) && source.get(src_x, src_y, pixel))
            canvas.at(dst_x, dst_y) = pixel;
        if (h.stretch) {
            dst_x += h.dst_inc;
            if (err > 0) {
                src_x += h.src_inc;
                err += h.err_add_1;
            } else {
                err += h.err_add_2;
            }
        } else {
            src_x += h.src_inc;
            if (err > 0) {
                dst_x += h.dst_inc;
                err += h.err_add_1;
            } else {
                err += h.err_add_2;
            }
        }
    }
}

void put(const BlitTarget& target, Canvas& canvas, const Box& area)
{
    for (int64_t y = area.top; y < area.bottom; ++y) {
        int row = int(y);
        int64_t cy = y - canvas.area().top;
        auto span = [&](int x0, int x1) {
            for (int x = x0; x < x1; ++x)
                target.surface->scanline(row)[x] = canvas.at(x - canvas.area().left, cy);
        };
        int x0 = int(area.left), x1 = int(area.right);
        if (target.clip)
            target.clip->for_each_span(row, x0, x1, span);
        else
            span(x0, x1);
    }
}

} // namespace

void stretch_copy(const BlitTarget& target, BlitCoords dst, const Surface& source, BlitCoords src)
{
    if (!target.surface || target.surface->is_empty() || source.is_empty() || dst.width == 0
        || dst.height == 0 || src.width == 0 || src.height == 0)
        return;
    Box dst_vis
        = intersect(bounding_box(dst), intersect(box_of(target.visible), box_of(target.surface->bounds())));
    Box src_vis = intersect(bounding_box(src), box_of(source.bounds()));
    if (dst_vis.is_empty() || src_vis.is_empty() || !intersect_visible(dst, dst_vis, src, src_vis))
        return;

    // A one-pixel-wide (or tall) destination samples from a source one pixel narrower.
    if (dst.width == 1 && src.width > 1)
        --src.width;
    if (dst.height == 1 && src.height > 1)
        --src.height;

    // When source and target are the same surface, read the source completely first.
    std::optional<Surface> snapshot;
    if (&source == target.surface)
        snapshot = source;
    SourceReader reader(snapshot ? *snapshot : source);

    if (src.width == dst.width && src.height == dst.height) {
        Canvas canvas(*target.surface, dst_vis);
        int64_t sx = src_vis.left - dst_vis.left, sy = src_vis.top - dst_vis.top;
        for (int64_t y = dst_vis.top; y < dst_vis.bottom; ++y)
            for (int64_t x = dst_vis.left; x < dst_vis.right; ++x) {
                uint32_t pixel;
                if (reader.get(x + sx, y + sy, pixel))
                    canvas.at(x - dst_vis.left, y - dst_vis.top) = pixel;
            }
        put(target, canvas, dst_vis);
        return;
    }

    AxisStep v, h;
    if (!axis_step(dst.y, dst.height, dst_vis.top, dst_vis.bottom, src.y, src.height, src_vis.top,
            src_vis.bottom, v))
        return;
    if (!axis_step(
            dst.x, dst.width, dst_vis.left, dst_vis.right, src.x, src.width, src_vis.left, src_vis.right, h))
        return;

    Box drawn = bounding_box({h.dst_start, v.dst_start, h.dst_end - h.dst_start, v.dst_end - v.dst_start});
    Box area = intersect(dst_vis, drawn);
    if (area.is_empty())
        return;
    Canvas canvas(*target.surface, area);
    int64_t dst_x = h.dst_start - area.left;
    int64_t dst_y = v.dst_start - area.top;
    int64_t src_y = v.src_start;
    int64_t err = v.err_start;

    if (v.stretch) {
        // Rows repeat: a destination row whose source row is the previous one is a copy of it.
        bool need_row = true;
        for (int64_t i = 0; i < v.length; ++i) {
            if (need_row) {
                copy_row(canvas, dst_x, dst_y, reader, h.src_start, src_y, h);
                need_row = false;
            } else if (canvas.contains(0, dst_y) && canvas.contains(0, dst_y - v.dst_inc)) {
                std::copy_n(&canvas.at(0, dst_y - v.dst_inc), canvas.width(), &canvas.at(0, dst_y));
            }
            if (err > 0) {
                src_y += v.src_inc;
                need_row = true;
                err += v.err_add_1;
            } else {
                err += v.err_add_2;
            }
            dst_y += v.dst_inc;
        }
    } else {
        // Rows merge: of the source rows that meet in one destination row, the first is kept.
        bool row_done = false;
        for (int64_t i = 0; i < v.length; ++i) {
            if (!row_done)
                copy_row(canvas, dst_x, dst_y, reader, h.src_start, src_y, h);
            row_done = true;
            if (err > 0) {
                dst_y += v.dst_inc;
                row_done = false;
                err += v.err_add_1;
            } else {
                err += v.err_add_2;
            }
            src_y += v.src_inc;
        }
    }
    put(target, canvas, area);
}

} // namespace sorrel::gdi
