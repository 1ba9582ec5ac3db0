#include "platform/lists/ListView.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Host.h"
#include "platform/host/StandardPainting.h"

#include <algorithm>
#include <cstdlib>

namespace sorrel::lists {

// [SECTION] Items and columns

void ListItem::Text(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    m_owner->item_changed();
}

std::string ListItem::SubItems(int index) const
{
    if (index < 1 || size_t(index) > m_sub_items.size())
        return {};
    return m_sub_items[size_t(index - 1)];
}

void ListItem::SubItems(int index, std::string text)
{
    if (index < 1 || index > 255)
        return;
    if (m_sub_items.size() < size_t(index))
        m_sub_items.resize(size_t(index));
    m_sub_items[size_t(index - 1)] = std::move(text);
    m_owner->item_changed();
}

ColumnHeader& ListView::Columns::Add(std::string text, float width_twips)
{
    m_view.m_columns.push_back({std::move(text), std::max(0.0f, width_twips)});
    m_view.layout();
    m_view.repaint();
    return m_view.m_columns.back();
}

ListItem& ListView::Items::Add(std::string text)
{
    ListItem& item = m_view.m_items.emplace_back(m_view, std::move(text));
    m_view.layout();
    m_view.repaint();
    m_view.accessible_changed(host::AccessibleEvent::TreeChanged);
    return item;
}

// [SECTION] Accessibility

bool ListView::describe_accessible(host::AccessibleNode& node) const
{
    node.role = host::AccessibleRole::List;
    for (size_t c = 0; c < m_columns.size(); ++c)
        node.description += (c ? ", " : "") + m_columns[c].Text;
    gdi::Rect rows = rows_area();
    int height = row_height();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const ListItem& item = m_items[i];
        host::AccessibleNode row;
        row.role = host::AccessibleRole::ListItem;
        // Read as the row is seen: "path, version".
        row.name = item.Text();
        std::string version = item.SubItems(1);
        if (!version.empty())
            row.name += ", " + version;
        int top = rows.top + (int(i) - TopRow()) * height;
        row.bounds = gdi::Rect {rows.left, top, rows.right, top + height};
        node.children.push_back(std::move(row));
    }
    return true;
}

// [SECTION] View

ListView::ListView()
{
    m_canvas.BackColor(0x80000005);
    m_canvas.ForeColor(0x80000008);
    m_canvas.Font(host::StdFont::create());
}

void ListView::Font(host::FontRef font)
{
    m_canvas.Font(std::move(font));
    layout();
    repaint();
}

gdi::Rect ListView::client_area() const
{
    const gdi::Surface& s = m_canvas.pixels();
    return s.bounds().inflated(-2, -2).intersected(s.bounds());
}

int ListView::header_height() const
{
    int text = host::painting::measure(m_canvas.hDC(), "").height;
    return std::max(1, text) + 5;
}

int ListView::row_height() const
{
    int text = host::painting::measure(m_canvas.hDC(), "").height;
    return std::max(1, text) + 3;
}

gdi::Rect ListView::rows_area() const
{
    gdi::Rect c = client_area();
    gdi::Rect rows {c.left, std::min(c.bottom, c.top + header_height()), c.right, c.bottom};
    if (m_scroll.is_needed())
        rows.right = std::max(rows.left, rows.right - ListScroll::BarWidth);
    if (m_hscroll.is_needed())
        rows.bottom = std::max(rows.top, rows.bottom - ListScroll::BarWidth);
    return rows;
}

int ListView::column_width(int index) const
{
    return m_widths.at(size_t(index - 1));
}

int ListView::divider_x(int index) const
{
    int x = client_area().left - m_hscroll.top_row();
    for (int i = 0; i < index; ++i)
        x += m_widths.at(size_t(i));
    return x;
}

void ListView::fit_columns(int width)
{
    m_widths.clear();
    int total = 0;
    for (auto& column : m_columns) {
        m_widths.push_back(host::twips_to_pixels(column.Width));
        total += m_widths.back();
    }
    if (!m_fit_columns || m_widths.empty() || total <= width)
        return;
    int header_text = host::painting::measure(m_canvas.hDC(), m_columns.front().Text).width + 12;
    int& first = m_widths.front();
    first = std::max(std::min(header_text, first), first - (total - width));
}

void ListView::layout()
{
    gdi::Rect c = client_area();
    int header = std::min(c.height(), header_height());
    // Each bar takes room from the other's direction, so whether one is needed can depend on the
    // other. Starting with neither, needs only grow; three rounds always settle.
    bool vertical = false, horizontal = false;
    int width = 0, page = 0, total = 0;
    for (int round = 0; round < 3; ++round) {
        width = std::max(0, c.width() - (vertical ? ListScroll::BarWidth : 0));
        int height = std::max(0, c.height() - header - (horizontal ? ListScroll::BarWidth : 0));
        page = height / row_height();
        fit_columns(width);
        total = 0;
        for (int w : m_widths)
            total += w;
        bool needs_vertical = item_count() > page;
        bool needs_horizontal = total > width;
        if (needs_vertical == vertical && needs_horizontal == horizontal)
            break;
        vertical = vertical || needs_vertical;
        horizontal = horizontal || needs_horizontal;
    }
    int bar_bottom = horizontal ? std::max(c.top, c.bottom - ListScroll::BarWidth) : c.bottom;
    int bar_right = vertical ? std::max(c.left, c.right - ListScroll::BarWidth) : c.right;
    m_scroll.set_geometry({bar_right, c.top, c.right, bar_bottom}, item_count(), page);
    // An arrow moves the columns by about two characters.
    m_hscroll.set_geometry({c.left, bar_bottom, bar_right, c.bottom}, horizontal ? total : 0, width, 8);
}

void ListView::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    layout();
    repaint();
}

void ListView::MouseWheel(int delta)
{
    // Fine-grained wheels send less than a notch at a time; the rest waits for the next turn.
    m_wheel_rest += delta;
    int notches = m_wheel_rest / 120;
    if (notches == 0)
        return;
    m_wheel_rest -= notches * 120;
    if (m_scroll.scroll_by(-3 * notches))
        repaint();
}

bool ListView::handle_mouse_wheel(int delta)
{
    MouseWheel(delta);
    return true;
}

int ListView::divider_at(int x, int y) const
{
    gdi::Rect c = client_area();
    if (y < c.top || y >= c.top + header_height() || x >= rows_area().right)
        return -1;
    // From the right, so that a column shrunk to nothing can still be widened again.
    for (int i = int(m_widths.size()); i >= 1; --i) {
        if (std::abs(x - divider_x(i)) <= DividerGrip)
            return i - 1;
    }
    return -1;
}

void ListView::handle_mouse_down(int16_t button, int16_t, float x, float y)
{
    if (button != host::vbLeftButton)
        return;
    int column = divider_at(int(x), int(y));
    if (column >= 0) {
        // The widths shown become the columns' own, so the drag starts from what the user sees.
        if (m_fit_columns) {
            for (size_t i = 0; i < m_columns.size(); ++i)
                m_columns[i].Width = host::pixels_to_twips(m_widths[i]);
            m_fit_columns = false;
        }
        m_sizing_column = column;
        m_sizing_grip = int(x) - divider_x(column + 1);
        return;
    }
    if (m_scroll.press(int(x), int(y)) || m_hscroll.press(int(x), int(y)))
        repaint();
}

void ListView::handle_mouse_move(int16_t button, int16_t, float x, float y)
{
    if (!(button & host::vbLeftButton))
        return;
    if (m_sizing_column >= 0) {
        int left = divider_x(m_sizing_column + 1) - m_widths[size_t(m_sizing_column)];
        int width = std::max(0, int(x) - m_sizing_grip - left);
        m_columns[size_t(m_sizing_column)].Width = host::pixels_to_twips(width);
        layout();
        repaint();
        return;
    }
    if (m_scroll.drag(int(y)) || m_hscroll.drag(int(x)))
        repaint();
}

void ListView::handle_mouse_up(int16_t button, int16_t, float, float)
{
    if (button != host::vbLeftButton)
        return;
    m_sizing_column = -1;
    m_scroll.release();
    m_hscroll.release();
}

std::string ListView::dump_text() const
{
    std::string text;
    for (size_t i = 0; i < m_columns.size(); ++i)
        text += (i ? " " : "") + host::quoted(m_columns[i].Text);
    for (auto& item : m_items) {
        text += "; " + host::quoted(item.Text());
        for (size_t i = 1; i < m_columns.size(); ++i)
            text += " " + host::quoted(item.SubItems(int(i)));
    }
    return text;
}

// A form file names the columns as "Column1", "Column1Width", "Column2" ...; items are never
// stored.
void ListView::read_design_properties(const host::PropertyBag& bag)
{
    if (bag.contains("Font")) {
        try {
            if (auto font = bag.ReadProperty("Font").to_font())
                Font(font);
        } catch (const host::VariantError&) { }
    }
    for (int i = 1; bag.contains("Column" + std::to_string(i)); ++i) {
        std::string key = "Column" + std::to_string(i);
        try {
            float width = bag.ReadProperty(key + "Width", 1440.0f).to_single();
            ColumnHeaders().Add(bag.ReadProperty(key).to_string(), width);
        } catch (const host::VariantError&) { }
    }
}

void ListView::write_design_properties(host::PropertyBag& bag) const
{
    if (Font())
        bag.WriteProperty("Font", Font());
    for (size_t i = 0; i < m_columns.size(); ++i) {
        std::string key = "Column" + std::to_string(i + 1);
        bag.WriteProperty(key, m_columns[i].Text);
        bag.WriteProperty(key + "Width", m_columns[i].Width);
    }
}

} // namespace sorrel::lists
