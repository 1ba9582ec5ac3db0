#pragma once

#include "platform/gdi/Rect.h"

namespace sorrel::lists {

// The vertical scroll bar of a list: which rows show and what a press on the bar does. It only
// computes; the list view draws it and feeds it the pointer.
//
// What the pointer does on the bar (left button):
//
//   press on             effect at the press              while held              release
//   -------------------  -------------------------------  ----------------------  ------------
//   up arrow             one row up                       -                       ends
//   down arrow           one row down                     -                       ends
//   track above thumb    one page up                      -                       ends
//   track below thumb    one page down                    -                       ends
//   thumb                remembers the grip point         thumb follows pointer   ends the drag
//
// A page is the number of whole rows that fit. The first row shown never goes below 0 or past
// the row that shows the last item at the bottom.
class ListScroll {
public:
    static constexpr int BarWidth = 16;
    static constexpr int ArrowHeight = 16;
    static constexpr int MinThumb = 8;

    enum class Part { None, UpArrow, DownArrow, TrackAbove, TrackBelow, Thumb };

    // `bar` is the scroll bar's rectangle; `rows` the item count, `page` the rows that fit.
    void set_geometry(const gdi::Rect& bar, int rows, int page);

    bool is_needed() const { return m_rows > m_page && m_page >= 0; }
    int top_row() const { return m_top; }
    int page() const { return m_page; }
    int last_top() const;
    // Moves the first shown row; returns whether it changed.
    bool scroll_to(int top);
    bool scroll_by(int rows) { return scroll_to(m_top + rows); }

    const gdi::Rect& bar() const { return m_bar; }
    gdi::Rect up_arrow() const;
    gdi::Rect down_arrow() const;
    gdi::Rect track() const;
    gdi::Rect thumb() const;
    Part part_at(int x, int y) const;

    // The pointer; return whether the first shown row changed.
    bool press(int x, int y);
    bool drag(int y);
    void release() { m_dragging = false; }
    bool is_dragging() const { return m_dragging; }

private:
    gdi::Rect m_bar;
    int m_rows {0};
    int m_page {0};
    int m_top {0};
    bool m_dragging {false};
    int m_grip {0}; // the pointer's distance from the thumb's top when the drag began
};

} // namespace sorrel::lists
