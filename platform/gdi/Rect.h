#pragma once

#include <algorithm>

namespace sorrel::gdi {

struct Point {
    int x {0};
    int y {0};
    bool operator==(const Point&) const = default;
};

// A rectangle that covers columns left..right-1 and rows top..bottom-1: the right and bottom
// edges are excluded, as in every drawing operation of the layer.
struct Rect {
    int left {0};
    int top {0};
    int right {0};
    int bottom {0};

    static Rect from_size(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool is_empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    // The same cells with the corners in order; inverted rectangles name the same area.
    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    Rect intersected(const Rect& o) const
    {
        Rect r {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
        if (r.is_empty())
            return {};
        return r;
    }
    Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    bool operator==(const Rect&) const = default;
};

} // namespace sorrel::gdi
