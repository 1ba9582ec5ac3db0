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

// A small filled triangle pointing up or down, centred in `r`.
void arrow(gdi::Surface& s, const gdi::Rect& r, bool up, gdi::Color color)
{
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        int y = up ? cy - 2 + row : cy + 1 - row;
        s.fill_rect({cx - row, y, cx + row + 1, y + 1}, color);
    }
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
    host::painting::sunken_edge(s, s.bounds());
    gdi::HDC dc = m_canvas.hDC();
    gdi::Rect client = client_area();
    gdi::Rect rows = rows_area();
    int text_height = std::max(1, measure(dc, "").height);

    // Header
    int x = client.left;
    int header_bottom = std::min(client.bottom, client.top + header_height());
    int header_right = m_scroll.is_needed() ? m_scroll.bar().left : client.right;
    std::vector<int> column_left;
    for (auto& column : m_columns) {
        int width = host::twips_to_pixels(column.Width);
        column_left.push_back(x);
        gdi::Rect cell {x, client.top, std::min(x + width, header_right), header_bottom};
        if (!cell.is_empty()) {
            raised_cell(s, cell);
            gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_BTNTEXT));
            text_at(dc, cell.left + 6, cell.top + (cell.height() - text_height) / 2,
                fitted(dc, column.Text, cell.width() - 12));
        }
        x += width;
    }
    if (x < header_right)
        raised_cell(s, {x, client.top, header_right, header_bottom});

    // Rows, clipped to the rows area
    gdi::SetTextColor(dc, gdi::GetSysColor(gdi::COLOR_WINDOWTEXT));
    int y = rows.top;
    for (int i = m_scroll.top_row(); i < item_count() && y < rows.bottom; ++i, y += row_height()) {
        const ListItem& item = m_items[size_t(i)];
        for (size_t c = 0; c < m_columns.size(); ++c) {
            int left = column_left[c] + 6;
            int right = std::min(rows.right, column_left[c] + host::twips_to_pixels(m_columns[c].Width)) - 6;
            if (right <= left)
                continue;
            std::string text = c == 0 ? item.Text() : item.SubItems(int(c));
            gdi::RECT clip {left, y, right, std::min(rows.bottom, y + row_height())};
            gdi::HRGN region = gdi::CreateRectRgnIndirect(&clip);
            gdi::SelectClipRgn(dc, region);
            text_at(dc, left, y + 1, fitted(dc, text, right - left));
            gdi::SelectClipRgn(dc, nullptr);
            gdi::DeleteObject(region);
        }
    }

    // Scroll bar
    if (m_scroll.is_needed()) {
        gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
        gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
        gdi::Rect track = m_scroll.track();
        // The track is a fine checker of face and highlight, as classic scroll bars are.
        for (int ty = track.top; ty < track.bottom; ++ty) {
            for (int tx = track.left; tx < track.right; ++tx)
                s.set_pixel(tx, ty, ((tx + ty) & 1) ? face : highlight);
        }
        gdi::Color arrow_color = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
        raised_cell(s, m_scroll.up_arrow());
        arrow(s, m_scroll.up_arrow(), true, arrow_color);
        raised_cell(s, m_scroll.down_arrow());
        arrow(s, m_scroll.down_arrow(), false, arrow_color);
        if (!m_scroll.thumb().is_empty())
            raised_cell(s, m_scroll.thumb());
    }
    invalidate();
}

} // namespace sorrel::lists
