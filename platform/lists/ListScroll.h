#pragma once

#include "platform/gdi/Rect.h"

namespace sorrel::lists {

// A scroll bar of a list: which part of the content shows and what a press on the bar does. It
// only computes; the list view draws it and feeds it the pointer. A vertical bar counts rows; a
// horizontal one counts pixels, and its "up" arrow is the left one.
//
// What the pointer does on the bar (left button):
//
//   press on             effect at the press              while held              release
//   -------------------  -------------------------------  ----------------------  ------------
//   up arrow             one line back                    -                       ends
//   down arrow           one line on                      -                       ends
//   track above thumb    one page back                    -                       ends
//   track below thumb    one page on                      -                       ends
//   thumb                remembers the grip point         thumb follows pointer   ends the drag
//
// A line is one row (or `line` pixels); a page is what fits. The first unit shown never goes
// below 0 or past the one that shows the end of the content at the bar's far end.
class ListScroll {
public:
    static constexpr int BarWidth = 16;
    static constexpr int ArrowHeight = 16;
    static constexpr int MinThumb = 8;

    enum class Orientation { Vertical, Horizontal };
    enum class Part { None, UpArrow, DownArrow, TrackAbove, TrackBelow, Thumb };

    explicit ListScroll(Orientation orientation = Orientation::Vertical)
        : m_horizontal(orientation == Orientation::Horizontal)
    { }

    // `bar` is the scroll bar's rectangle; `rows` the length of the content, `page` the part that
    // fits, and `line` what an arrow moves, all in the bar's units.
    void set_geometry(const gdi::Rect& bar, int rows, int page, int line = 1);

    bool is_horizontal() const { return m_horizontal; }
    bool is_needed() const { return m_rows > m_page && m_page >= 0; }
    int top_row() const { return m_top; }
    int page() const { return m_page; }
    int last_top() const;
    // Moves the first shown unit; returns whether it changed.
    bool scroll_to(int top);
    bool scroll_by(int rows) { return scroll_to(m_top + rows); }

    const gdi::Rect& bar() const { return m_bar; }
    gdi::Rect up_arrow() const;
    gdi::Rect down_arrow() const;
    gdi::Rect track() const;
    gdi::Rect thumb() const;
    Part part_at(int x, int y) const;

    // The pointer; return whether the first shown unit changed. `along` is the pointer's
    // coordinate along the bar (y for a vertical bar, x for a horizontal one).
    bool press(int x, int y);
    bool drag(int along);
    void release() { m_dragging = false; }
    bool is_dragging() const { return m_dragging; }

private:
    int start() const { return m_horizontal ? m_bar.left : m_bar.top; }
    int end() const { return m_horizontal ? m_bar.right : m_bar.bottom; }
    int length() const { return end() - start(); }
    // The part of the bar from `from` to `to` along it, across its whole thickness.
    gdi::Rect span(int from, int to) const;

    bool m_horizontal {false};
    gdi::Rect m_bar;
    int m_rows {0};
    int m_page {0};
    int m_line {1};
    int m_top {0};
    bool m_dragging {false};
    int m_grip {0}; // the pointer's distance from the thumb's start when the drag began
};

} // namespace sorrel::lists
