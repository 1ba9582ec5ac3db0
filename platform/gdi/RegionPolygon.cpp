// Region::from_polygon: scan conversion with the Windows region rules.
//
// Each non-horizontal edge covers the rows from its upper end to the row above its lower end.
// On row y an edge from (x_top, y_top) with slope dx/dy crosses at
//     x = x_top + ceil((y - y_top) * dx / dy),
// the first pixel at or right of the edge (this closed form equals the incremental edge stepping
// of the Windows region code). A pixel lies inside when the edges crossing its row at or left of
// it give an odd count (alternate) or a non-zero winding number (winding).

#include "platform/gdi/Region.h"

#include "platform/gdi/Int128.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sorrel::gdi {

namespace {

// Rows are converted within this window only, so that a polygon with far-away vertices costs
// time in proportion to what can ever be drawn, not to its size.
constexpr int64_t row_limit = int64_t(1) << 16;

struct Edge {
    int64_t x_top;
    int64_t y_top;
    int64_t y_bottom; // exclusive
    int64_t dx;
    int64_t dy;
    int direction; // +1 downwards, -1 upwards
};

int clamp_to_int(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

Region Region::from_polygon(std::span<const Point> points, FillRule rule, const Rect* rows)
{
    if (points.size() < 2)
        return {};

    std::vector<Edge> edges;
    edges.reserve(points.size());
    int64_t y_min = INT64_MAX, y_max = INT64_MIN;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& prev = points[(i + points.size() - 1) % points.size()];
        const Point& curr = points[i];
        if (prev.y == curr.y)
            continue;
        bool down = prev.y < curr.y;
        const Point& top = down ? prev : curr;
        const Point& bottom = down ? curr : prev;
        edges.push_back(
            {top.x, top.y, bottom.y, int64_t(bottom.x) - top.x, int64_t(bottom.y) - top.y, down ? 1 : -1});
        y_min = std::min<int64_t>(y_min, top.y);
        y_max = std::max<int64_t>(y_max, bottom.y);
    }
    if (edges.empty())
        return {};
    y_min = std::max(y_min, rows ? int64_t(rows->top) : -row_limit);
    y_max = std::min(y_max, rows ? int64_t(rows->bottom) : row_limit);

    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y_top < b.y_top; });

    struct Crossing {
        int64_t x;
        int direction;
    };
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    std::vector<RegionBuilder::Run> runs;
    RegionBuilder builder;
    size_t next = 0;
    for (int64_t y = y_min; y < y_max; ++y) {
        while (next < edges.size() && edges[next].y_top <= y) {
            active.push_back(&edges[next]);
            ++next;
        }
        std::erase_if(active, [y](const Edge* e) { return e->y_bottom <= y; });

        crossings.clear();
        // Both factors can reach 2^32, the quotient no more than |dx|.
        for (const Edge* e : active)
            crossings.push_back(
                {e->x_top + divide(Int128::product(y - e->y_top, e->dx), e->dy, Rounding::Up), e->direction});
        std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& a, const Crossing& b) { return a.x < b.x; });

        runs.clear();
        int count = 0;
        int64_t run_start = 0;
        for (const Crossing& c : crossings) {
            bool was_inside = rule == FillRule::Winding ? count != 0 : (count & 1);
            count += rule == FillRule::Winding ? c.direction : 1;
            bool inside = rule == FillRule::Winding ? count != 0 : (count & 1);
            if (!was_inside && inside)
                run_start = c.x;
            else if (was_inside && !inside)
                runs.push_back({clamp_to_int(run_start), clamp_to_int(c.x)});
        }
        builder.add_band(int(y), int(y + 1), runs);
    }
    return builder.finish();
}

} // namespace sorrel::gdi
