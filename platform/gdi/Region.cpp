#include "platform/gdi/Region.h"

#include <algorithm>

namespace sorrel::gdi {

namespace {

struct Span {
    int left;
    int right;
    bool operator==(const Span&) const = default;
};

// Builds a banded rectangle list band by band, merging a band into the one above it when they
// touch and have the same spans.
class BandWriter {
public:
    explicit BandWriter(std::vector<Rect>& out)
        : m_out(out)
    { }

    void add_band(int top, int bottom, const std::vector<Span>& spans)
    {
        if (spans.empty() || top >= bottom)
            return;
        if (m_last_bottom == top && m_last_spans == spans) {
            for (size_t i = m_last_start; i < m_out.size(); ++i)
                m_out[i].bottom = bottom;
        } else {
            m_last_start = m_out.size();
            for (const Span& s : spans)
                m_out.push_back({s.left, top, s.right, bottom});
            m_last_spans = spans;
        }
        m_last_bottom = bottom;
    }

private:
    std::vector<Rect>& m_out;
    std::vector<Span> m_last_spans;
    size_t m_last_start {0};
    int m_last_bottom {0};
    // m_last_bottom is only compared when m_last_spans is non-empty.
};

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

    Region result;
    BandWriter writer(result.m_rects);
    std::vector<Span> a, b, merged;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        spans_at(m_rects, ia, ys[k], a);
        spans_at(other.m_rects, ib, ys[k], b);
        merge_spans(a, b, keep, merged);
        writer.add_band(ys[k], ys[k + 1], merged);
    }
    result.update_bounds();
    return result;
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
    for (Rect& r : m_rects)
        r = r.translated(dx, dy);
    if (!m_rects.empty())
        m_bounds = m_bounds.translated(dx, dy);
}

} // namespace sorrel::gdi
