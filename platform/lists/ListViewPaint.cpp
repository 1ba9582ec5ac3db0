// How the report view looks: a sunken border, a raised header cell per column, the rows in the
// window colours, and a classic scroll bar when the rows overflow.

#include "platform/host/StandardPainting.h"
#include "platform/lists/ListView.h"

#include <algorithm>

namespace sorrel::lists {

namespace {

using host::painting::measure;
using host::painting::text_at;

void raised_cell(gdi::Surface& s, const gdi::Rect& r)
{
    if (r.width() < 2 || r.height() < 2)
        return;
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    gdi::Color dark = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);
    s.fill_rect(r, gdi::GetSysColor(gdi::COLOR_BTNFACE));
    // Light top and left, shadow inside the dark right and bottom edges
    s.fill_rect({r.left, r.top, r.right - 1, r.top + 1}, highlight);
    s.fill_rect({r.left, r.top, r.left + 1, r.bottom - 1}, highlight);
    s.fill_rect({r.left, r.bottom - 1, r.right, r.bottom}, dark);
    s.fill_rect({r.right - 1, r.top, r.right, r.bottom}, dark);
    s.fill_rect({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, shadow);
    s.fill_rect({r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, shadow);
}

// The text shortened with "..." until it fits `width`.
std::string fitted(gdi::HDC dc, const std::string& text, int width)
{
    if (measure(dc, text).width <= width)
        return text;
    std::string cut = text;
    while (!cut.empty()) {
        cut.pop_back();
        if (measure(dc, cut + "...").width <= width)
            return cut + "...";
    }
    return {};
}

enum class Direction { Up, Down, Left, Right };

// A small filled triangle pointing in `direction`, centred in `r`.
void arrow(gdi::Surface& s, const gdi::Rect& r, Direction direction, gdi::Color color)
{
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    for (int step = 0; step < 4; ++step) {
        switch (direction) {
        case Direction::Up:
            s.fill_rect({cx - step, cy - 2 + step, cx + step + 1, cy - 1 + step}, color);
            break;
        case Direction::Down:
            s.fill_rect({cx - step, cy + 1 - step, cx + step + 1, cy + 2 - step}, color);
            break;
        case Direction::Left:
            s.fill_rect({cx - 2 + step, cy - step, cx - 1 + step, cy + step + 1}, color);
            break;
        case Direction::Right:
            s.fill_rect({cx + 1 - step, cy - step, cx + 2 - step, cy + step + 1}, color);
            break;
        }
    }
}

void scroll_bar(gdi::Surface& s, const lists::ListScroll& bar)
{
    if (!bar.is_needed())
        return;
    gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    gdi::Rect track = bar.track();
    // The track is a fine checker of face and highlight, as classic scroll bars are.
    for (int ty = track.top; ty < track.bottom; ++ty) {
        for (int tx = track.left; tx < track.right; ++tx)
            s.set_pixel(tx, ty, ((tx + ty) & 1) ? face : highlight);
    }
    gdi::Color arrow_color = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    bool horizontal = bar.is_horizontal();
    raised_cell(s, bar.up_arrow());
    arrow(s, bar.up_arrow(), horizontal ? Direction::Left : Direction::Up, arrow_color);
    raised_cell(s, bar.down_arrow());
    arrow(s, bar.down_arrow(), horizontal ? Direction::Right : Direction::Down, arrow_color);
    if (!bar.thumb().is_empty())
        raised_cell(s, bar.thumb());
}

} // namespace

void ListView::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (s.width() < 6 || s.height() < 6) {
        invalidate();
        return;
    }
    gdi::HDC dc = m_canvas.hDC();
    gdi::Rect client = client_area();
    gdi::Rect rows = rows_area();
    int text_height = std::max(1, measure(dc, "").height);

    // Header. Cells scrolled partly out of view may spill over the border and the bars, which
    // are drawn last.
    int header_bottom = std::min(client.bottom, client.top + header_height());
    int x = client.left - m_hscroll.top_row();
    for (size_t c = 0; c < m_columns.size(); ++c) {
        int width = m_widths[c];
        gdi::Rect cell {x, client.top, std::min(x + width, rows.right), header_bottom};
        if (!cell.is_empty()) {
            raised_cell(s, cell);
            gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_BTNTEXT));
            text_at(dc, x + 6, cell.top + (cell.height() - text_height) / 2,
                fitted(dc, m_columns[c].Text, cell.right - x - 12));
        }
        x += width;
    }
    if (x < rows.right)
        raised_cell(s, {std::max(x, client.left), client.top, rows.right, header_bottom});

    // Rows, each text fitted to its column and clipped to the rows area
    gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
    int y = rows.top;
    for (int i = m_scroll.top_row(); i < item_count() && y < rows.bottom; ++i, y += row_height()) {
        const ListItem& item = m_items[size_t(i)];
        for (size_t c = 0; c < m_columns.size(); ++c) {
            int left = divider_x(int(c) + 1) - m_widths[c] + 6;
            int right = divider_x(int(c) + 1) - 6;
            gdi::RECT clip {std::max(left, rows.left), y, std::min(right, rows.right - 6),
                std::min(rows.bottom, y + row_height())};
            if (clip.right <= clip.left)
                continue;
            std::string text = c == 0 ? item.Text() : item.SubItems(int(c));
            gdi::HRGN region = gdi::CreateRectRgnIndirect(&clip);
            gdi::SelectClipRgn(dc, region);
            text_at(dc, left, y + 1, fitted(dc, text, right - left));
            gdi::SelectClipRgn(dc, nullptr);
            gdi::DeleteObject(region);
        }
    }

    host::painting::sunken_edge(s, s.bounds());
    scroll_bar(s, m_scroll);
    scroll_bar(s, m_hscroll);
    if (m_scroll.is_needed() && m_hscroll.is_needed())
        s.fill_rect({m_scroll.bar().left, m_hscroll.bar().top, client.right, client.bottom},
            gdi::GetSysColor(gdi::COLOR_BTNFACE));
    invalidate();
}

} // namespace sorrel::lists
