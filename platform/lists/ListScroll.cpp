#include "platform/lists/ListScroll.h"

#include <algorithm>

namespace sorrel::lists {

void ListScroll::set_geometry(const gdi::Rect& bar, int rows, int page, int line)
{
    m_bar = bar;
    m_rows = std::max(0, rows);
    m_page = std::max(0, page);
    m_line = std::max(1, line);
    m_top = std::clamp(m_top, 0, last_top());
}

int ListScroll::last_top() const
{
    return std::max(0, m_rows - std::max(1, m_page));
}

bool ListScroll::scroll_to(int top)
{
    top = std::clamp(top, 0, last_top());
    if (top == m_top)
        return false;
    m_top = top;
    return true;
}

gdi::Rect ListScroll::span(int from, int to) const
{
    if (m_horizontal)
        return {from, m_bar.top, to, m_bar.bottom};
    return {m_bar.left, from, m_bar.right, to};
}

gdi::Rect ListScroll::up_arrow() const
{
    int h = std::min(ArrowHeight, length() / 2);
    return span(start(), start() + h);
}

gdi::Rect ListScroll::down_arrow() const
{
    int h = std::min(ArrowHeight, length() / 2);
    return span(end() - h, end());
}

gdi::Rect ListScroll::track() const
{
    int h = std::min(ArrowHeight, length() / 2);
    return span(start() + h, end() - h);
}

gdi::Rect ListScroll::thumb() const
{
    int h = std::min(ArrowHeight, length() / 2);
    int track_start = start() + h;
    int track_length = length() - 2 * h;
    if (!is_needed() || track_length < MinThumb)
        return {};
    int thumb_length = std::max(MinThumb, track_length * m_page / m_rows);
    int travel = track_length - thumb_length;
    int offset = last_top() > 0 ? travel * m_top / last_top() : 0;
    return span(track_start + offset, track_start + offset + thumb_length);
}

ListScroll::Part ListScroll::part_at(int x, int y) const
{
    if (!is_needed() || !m_bar.contains(x, y))
        return Part::None;
    if (up_arrow().contains(x, y))
        return Part::UpArrow;
    if (down_arrow().contains(x, y))
        return Part::DownArrow;
    gdi::Rect t = thumb();
    if (t.contains(x, y))
        return Part::Thumb;
    bool before = m_horizontal ? x < t.left : y < t.top;
    return before ? Part::TrackAbove : Part::TrackBelow;
}

bool ListScroll::press(int x, int y)
{
    switch (part_at(x, y)) {
    case Part::UpArrow:
        return scroll_by(-m_line);
    case Part::DownArrow:
        return scroll_by(m_line);
    case Part::TrackAbove:
        return scroll_by(-std::max(1, m_page));
    case Part::TrackBelow:
        return scroll_by(std::max(1, m_page));
    case Part::Thumb:
        m_dragging = true;
        m_grip = (m_horizontal ? x - thumb().left : y - thumb().top);
        return false;
    case Part::None:
        break;
    }
    return false;
}

bool ListScroll::drag(int along)
{
    if (!m_dragging)
        return false;
    gdi::Rect t = track();
    gdi::Rect th = thumb();
    int track_start = m_horizontal ? t.left : t.top;
    int travel = (m_horizontal ? t.width() - th.width() : t.height() - th.height());
    if (travel <= 0)
        return false;
    int offset = std::clamp(along - m_grip - track_start, 0, travel);
    // The nearest unit for the thumb's position.
    return scroll_to((offset * last_top() + travel / 2) / travel);
}

} // namespace sorrel::lists
