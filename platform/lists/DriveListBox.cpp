#include "platform/lists/DriveListBox.h"

#include "platform/host/Accessibility.h"
#include "platform/host/StandardPainting.h"
#include "platform/lists/Drives.h"

namespace sorrel::lists {

DriveListBox::DriveListBox()
{
    m_canvas.BackColor(0x80000005);
    m_canvas.ForeColor(0x80000008);
    m_canvas.Font(host::StdFont::create());
    m_entries = current_drives()->drive_names();
}

std::string DriveListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    return m_entries[size_t(index)];
}

void DriveListBox::Refresh()
{
    m_entries = current_drives()->drive_names();
    repaint();
}

std::string DriveListBox::dump_text() const
{
    std::string text;
    for (auto& entry : m_entries)
        text += (text.empty() ? "" : " ") + host::quoted(entry);
    return text;
}

void DriveListBox::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    repaint();
}

void DriveListBox::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (s.width() < 8 || s.height() < 8) {
        invalidate();
        return;
    }
    host::painting::sunken_edge(s, s.bounds());
    // Drop-down button
    int button = std::min(16, s.height() - 4);
    gdi::Rect arrow_box {s.width() - 2 - button, 2, s.width() - 2, s.height() - 2};
    s.fill_rect(arrow_box, gdi::GetSysColor(gdi::COLOR_BTNFACE));
    int cx = (arrow_box.left + arrow_box.right) / 2, cy = (arrow_box.top + arrow_box.bottom) / 2 - 1;
    host::painting::arrow(
        s, {cx - 3, cy}, host::painting::Direction::Down, gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    host::painting::text_at(m_canvas.hDC(), 4, 3, Drive());
    invalidate();
}

bool DriveListBox::describe_accessible(host::AccessibleNode& node) const
{
    node.role = host::AccessibleRole::List;
    gdi::Rect own = gdi::Rect::from_size(0, 0, pixel_width(), pixel_height());
    for (int i = 0; i < ListCount(); ++i) {
        host::AccessibleNode entry;
        entry.role = host::AccessibleRole::ListItem;
        entry.name = List(i);
        entry.bounds = own;
        node.children.push_back(std::move(entry));
    }
    return true;
}

} // namespace sorrel::lists
