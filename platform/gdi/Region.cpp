#include "platform/gdi/Region.h"

#include <algorithm>
#include <cstdint>

namespace sorrel::gdi {

namespace {

using Span = RegionBuilder::Run;

// The spans of the band of `rects` that covers rows [top, ...), starting the search at `index`.
void spans_at(const std::vector<Rect>& rects, size_t& index, int y, std::vector<Span>& out)
{
    out.clear();
    while (index < rects.size() && rects[index].bottom <= y)
        ++index;
    for (size_t i = index; i < rects.size() && rects[i].top <= y && rects[i].bottom > y; ++i)
        out.push_back({rects[i].left, rects[i].right});
}

template<class Keep>
void merge_spans(const std::vector<Span>& a, const std::vector<Span>& b, Keep keep, std::vector<Span>& out)
{
    out.clear();
    // Walk the sorted edges of both span lists; keep(in_a, in_b) decides membership.
    std::vector<int> xs;
    xs.reserve((a.size() + b.size()) * 2);
    for (const Span& s : a) {
        xs.push_back(s.left);
        xs.push_back(s.right);
    }
    for (const Span& s : b) {
        xs.push_back(s.left);
        xs.push_back(s.right);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
        int x = xs[k];
        while (ia < a.size() && a[ia].right <= x)
            ++ia;
        while (ib < b.size() && b[ib].right <= x)
            ++ib;
        bool in_a = ia < a.size() && a[ia].left <= x;
        bool in_b = ib < b.size() && b[ib].left <= x;
        if (!keep(in_a, in_b))
            continue;
        if (!out.empty() && out.back().right == x)
            out.back().right = xs[k + 1];
        else
            out.push_back({x, xs[k + 1]});
    }
}

} // namespace

Region Region::from_rect(const Rect& rect)
{
    Region region;
    Rect r = rect.normalized();
    if (!r.is_empty()) {
        region.m_rects.push_back(r);
        region.m_bounds = r;
    }
    return region;
}

bool Region::contains(int x, int y) const
{
    if (!m_bounds.contains(x, y))
        return false;
    bool found = false;
    for_each_span(y, x, x + 1, [&](int, int) { found = true; });
    return found;
}

int Region::band_start(int y) const
{
    if (y < m_bounds.top || y >= m_bounds.bottom)
        return -1;
    // First rectangle whose bottom is below y: that is the start of y's band, if it covers y.
    auto it
        = std::partition_point(m_rects.begin(), m_rects.end(), [y](const Rect& r) { return r.bottom <= y; });
    if (it == m_rects.end() || it->top > y)
        return -1;
    return int(it - m_rects.begin());
}

void Region::update_bounds()
{
    if (m_rects.empty()) {
        m_bounds = {};
        return;
    }
    Rect b = m_rects.front();
    for (const Rect& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    m_bounds = b;
}

Region Region::combined(const Region& other, Op op) const
{
    auto keep = [op](bool a, bool b) {
        switch (op) {
        case Op::Union:
            return a || b;
        case Op::Intersect:
            return a && b;
        case Op::Subtract:
            return a && !b;
        case Op::Xor:
            return a != b;
        }
        return false;
    };
    std::vector<int> ys;
    for (const Rect& r : m_rects) {
        ys.push_back(r.top);
        ys.push_back(r.bottom);
    }
    for (const Rect& r : other.m_rects) {
        ys.push_back(r.top);
        ys.push_back(r.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    RegionBuilder writer;
    std::vector<Span> a, b, merged;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        spans_at(m_rects, ia, ys[k], a);
        spans_at(other.m_rects, ib, ys[k], b);
        merge_spans(a, b, keep, merged);
        writer.add_band(ys[k], ys[k + 1], merged);
    }
    return writer.finish();
}

Region Region::united(const Region& other) const
{
    return combined(other, Op::Union);
}

Region Region::intersected(const Region& other) const
{
    return combined(other, Op::Intersect);
}

Region Region::subtracted(const Region& other) const
{
    return combined(other, Op::Subtract);
}

Region Region::xored(const Region& other) const
{
    return combined(other, Op::Xor);
}

void Region::offset(int dx, int dy)
{
    if (m_rects.empty())
        return;
    // A move past the coordinate range stops at its edge rather than wrapping around.
    dx = int(
        std::clamp<int64_t>(dx, int64_t(INT32_MIN) - m_bounds.left, int64_t(INT32_MAX) - m_bounds.right));
    dy = int(
        std::clamp<int64_t>(dy, int64_t(INT32_MIN) - m_bounds.top, int64_t(INT32_MAX) - m_bounds.bottom));
    for (Rect& r : m_rects)
        r = r.translated(dx, dy);
    if (!m_rects.empty())
        m_bounds = m_bounds.translated(dx, dy);
}

void RegionBuilder::add_band(int top, int bottom, const std::vector<Run>& runs)
{
    if (top >= bottom)
        return;
    // Normalise: drop empty runs and merge touching or overlapping ones.
    m_scratch.clear();
    for (const Run& r : runs) {
        if (r.left >= r.right)
            continue;
        if (!m_scratch.empty() && r.left <= m_scratch.back().right)
            m_scratch.back().right = std::max(m_scratch.back().right, r.right);
        else
            m_scratch.push_back(r);
    }
    if (m_scratch.empty())
        return;
    std::vector<Rect>& out = m_region.m_rects;
    if (!out.empty() && m_last_bottom == top && m_last_runs == m_scratch) {
        for (size_t i = m_last_start; i < out.size(); ++i)
            out[i].bottom = bottom;
    } else {
        m_last_start = out.size();
        for (const Run& r : m_scratch)
            out.push_back({r.left, top, r.right, bottom});
        m_last_runs = m_scratch;
    }
    m_last_bottom = bottom;
}

Region RegionBuilder::finish()
{
    m_region.update_bounds();
    Region result = std::move(m_region);
    m_region = Region();
    m_last_runs.clear();
    m_last_start = 0;
    m_last_bottom = 0;
    return result;
}

} // namespace sorrel::gdi
