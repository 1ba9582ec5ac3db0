#include "platform/lists/ListView.h"

#include "platform/host/Host.h"
#include "platform/host/StandardPainting.h"

#include <algorithm>

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
    m_view.repaint();
    return m_view.m_columns.back();
}

ListItem& ListView::Items::Add(std::string text)
{
    ListItem& item = m_view.m_items.emplace_back(m_view, std::move(text));
    m_view.layout();
    m_view.repaint();
    return item;
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
    return rows;
}

void ListView::layout()
{
    gdi::Rect c = client_area();
    int rows_height = std::max(0, c.height() - header_height());
    int page = rows_height / row_height();
    gdi::Rect bar {std::max(c.left, c.right - ListScroll::BarWidth), c.top, c.right, c.bottom};
    m_scroll.set_geometry(bar, item_count(), page);
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

void ListView::handle_mouse_down(int16_t button, int16_t, float x, float y)
{
    if (button == host::vbLeftButton && m_scroll.press(int(x), int(y)))
        repaint();
}

void ListView::handle_mouse_move(int16_t button, int16_t, float, float y)
{
    if ((button & host::vbLeftButton) && m_scroll.drag(int(y)))
        repaint();
}

void ListView::handle_mouse_up(int16_t button, int16_t, float, float)
{
    if (button == host::vbLeftButton)
        m_scroll.release();
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
