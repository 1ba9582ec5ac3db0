#pragma once

// A set of pixels stored as rectangles banded by rows: the rectangles of one band share their
// top and bottom, are sorted by x and never touch or overlap; bands are sorted by y and two
// vertically adjacent bands never have the same spans (they are merged). This is the shape of
// the Windows region code, so the rectangle count matches what Windows would report.

#include "platform/gdi/Rect.h"

#include <span>
#include <vector>

namespace sorrel::gdi {

enum class FillRule {
    Alternate,
    Winding,
};

class Region {
public:
    Region() = default;

    static Region from_rect(const Rect& rect);
    // The pixels inside the polygon by the Windows scanline rule; only the rows of `rows`
    // (when given) are converted, which bounds the work for polygons far larger than a surface.
    static Region from_polygon(std::span<const Point> points, FillRule rule, const Rect* rows = nullptr);

    bool is_empty() const { return m_rects.empty(); }
    bool is_rectangle() const { return m_rects.size() == 1; }
    const std::vector<Rect>& rects() const { return m_rects; }
    Rect bounding_box() const { return m_bounds; }
    bool contains(int x, int y) const;

    Region united(const Region& other) const;
    Region intersected(const Region& other) const;
    Region subtracted(const Region& other) const;
    Region xored(const Region& other) const;
    void offset(int dx, int dy);

    // Calls `span(x0, x1)` for each run of row y inside the region clipped to [left, right).
    template<class F> void for_each_span(int y, int left, int right, F&& span) const;

    bool operator==(const Region& other) const { return m_rects == other.m_rects; }

private:
    enum class Op {
        Union,
        Intersect,
        Subtract,
        Xor,
    };
    Region combined(const Region& other, Op op) const;
    // Index of the first rectangle of the band that contains row y, or -1.
    int band_start(int y) const;
    void update_bounds();
    friend class RegionBuilder;

    std::vector<Rect> m_rects;
    Rect m_bounds;
};

template<class F> void Region::for_each_span(int y, int left, int right, F&& span) const
{
    int i = band_start(y);
    if (i < 0)
        return;
    int top = m_rects[i].top;
    for (size_t k = size_t(i); k < m_rects.size() && m_rects[k].top == top; ++k) {
        int x0 = std::max(m_rects[k].left, left);
        int x1 = std::min(m_rects[k].right, right);
        if (x0 < x1)
            span(x0, x1);
    }
}

// Builds a region band by band from the top down: each band lists its runs left to right (runs
// may touch or be empty; they are merged). Bands must come in increasing order of y and must not
// overlap; a band that continues the one above it with the same runs is merged into it.
class RegionBuilder {
public:
    struct Run {
        int left;
        int right;
        bool operator==(const Run&) const = default;
    };

    void add_band(int top, int bottom, const std::vector<Run>& runs);
    Region finish();

private:
    Region m_region;
    std::vector<Run> m_last_runs;
    std::vector<Run> m_scratch;
    size_t m_last_start {0};
    int m_last_bottom {0};
};

} // namespace sorrel::gdi
