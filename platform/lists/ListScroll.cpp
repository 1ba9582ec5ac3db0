#include "platform/lists/ListScroll.h"

#include <algorithm>

namespace sorrel::lists {

void ListScroll::set_geometry(const gdi::Rect& bar, int rows, int page)
{
    m_bar = bar;
    m_rows = std::max(0, rows);
    m_page = std::max(0, page);
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

gdi::Rect ListScroll::up_arrow() const
{
    int h = std::min(ArrowHeight, m_bar.height() / 2);
    return {m_bar.left, m_bar.top, m_bar.right, m_bar.top + h};
}

gdi::Rect ListScroll::down_arrow() const
{
    int h = std::min(ArrowHeight, m_bar.height() / 2);
    return {m_bar.left, m_bar.bottom - h, m_bar.right, m_bar.bottom};
}

gdi::Rect ListScroll::track() const
{
    return {m_bar.left, up_arrow().bottom, m_bar.right, down_arrow().top};
}

gdi::Rect ListScroll::thumb() const
{
    gdi::Rect t = track();
    if (!is_needed() || t.height() < MinThumb)
        return {};
    int length = std::max(MinThumb, t.height() * m_page / m_rows);
    int travel = t.height() - length;
    int offset = last_top() > 0 ? travel * m_top / last_top() : 0;
    return {t.left, t.top + offset, t.right, t.top + offset + length};
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
    return y < t.top ? Part::TrackAbove : Part::TrackBelow;
}

bool ListScroll::press(int x, int y)
{
    switch (part_at(x, y)) {
    case Part::UpArrow:
        return scroll_by(-1);
    case Part::DownArrow:
        return scroll_by(1);
    case Part::TrackAbove:
        return scroll_by(-std::max(1, m_page));
    case Part::TrackBelow:
        return scroll_by(std::max(1, m_page));
    case Part::Thumb:
        m_dragging = true;
        m_grip = y - thumb().top;
        return false;
    case Part::None:
        break;
    }
    return false;
}

bool ListScroll::drag(int y)
{
    if (!m_dragging)
        return false;
    gdi::Rect t = track();
    int travel = t.height() - thumb().height();
    if (travel <= 0)
        return false;
    int offset = std::clamp(y - m_grip - t.top, 0, travel);
    // The nearest row for the thumb's position.
    return scroll_to((offset * last_top() + travel / 2) / travel);
}

} // namespace sorrel::lists
