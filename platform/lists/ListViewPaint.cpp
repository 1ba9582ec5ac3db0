// How the report view looks: a sunken border, a raised header cell per column, the rows in the
// window colours, and a classic scroll bar when the rows overflow.

#include "platform/host/StandardPainting.h"
#include "platform/lists/ListView.h"

#include <algorithm>

namespace sorrel::lists {

namespace {

using host::painting::measure;
using host::painting::raised_panel;
using host::painting::text_at;

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

void scroll_bar(gdi::Surface& s, const lists::ListScroll& bar)
{
    if (!bar.is_needed())
        return;
    host::painting::scroll_bar(
        s, {bar.track(), bar.up_arrow(), bar.down_arrow(), bar.thumb(), bar.is_horizontal()});
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
            raised_panel(s, cell);
            gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_BTNTEXT));
            text_at(dc, x + 6, cell.top + (cell.height() - text_height) / 2,
                fitted(dc, m_columns[c].Text, cell.right - x - 12));
        }
        x += width;
    }
    if (x < rows.right)
        raised_panel(s, {std::max(x, client.left), client.top, rows.right, header_bottom});

    // Rows, each text fitted to its column and clipped to the rows area
    gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
    int y = rows.top;
    for (int i = m_scroll.top_row(); i < item_count() && y < rows.bottom; ++i, y += row_height()) {
        const ListItem& item = m_items[size_t(i)];
        for (size_t c = 0; c < m_columns.size(); ++c) {
            int left = divider_x(int(c) + 1) - m_widths[c] + 6;
            int right = divider_x(int(c) + 1) - 6;
            gdi::Rect clip {std::max(left, rows.left), y, std::min(right, rows.right - 6),
                std::min(rows.bottom, y + row_height())};
            if (clip.right <= clip.left)
                continue;
            std::string text = c == 0 ? item.Text() : item.SubItems(int(c));
            host::painting::text_clipped(dc, left, y + 1, clip, fitted(dc, text, right - left));
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
