#include "platform/lists/FileListBox.h"

#include "platform/base/Cp1252.h"
#include "platform/host/Accessibility.h"
#include "platform/host/StandardPainting.h"
#include "platform/lists/Drives.h"

namespace sorrel::lists {

FileListBox::FileListBox()
    : m_drives(current_drives())
    , m_model(*m_drives)
{
    m_canvas.BackColor(0x80000005);
    m_canvas.ForeColor(0x80000008);
    m_canvas.Font(host::StdFont::create());
}

files::Result<void> FileListBox::Path(std::string_view path)
{
    auto result = m_model.set_path(path);
    if (!result.is_error())
        repaint();
    return result;
}

std::string FileListBox::List(int index) const
{
    if (index < 0)
        return {};
    return m_model.list(size_t(index));
}

files::ListedFile FileListBox::listed_file(int index) const
{
    if (index < 0)
        return {};
    return m_model.listed(size_t(index));
}

void FileListBox::Refresh()
{
    m_model.refresh();
    repaint();
}

std::string FileListBox::dump_text() const
{
    std::string text = host::quoted(m_model.path()) + ":";
    for (auto& name : m_model.names())
        text += " " + host::quoted(name);
    return text;
}

void FileListBox::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    repaint();
}

void FileListBox::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (s.width() < 8 || s.height() < 8) {
        invalidate();
        return;
    }
    host::painting::sunken_edge(s, s.bounds());
    gdi::HDC dc = m_canvas.hDC();
    int line_height = std::max(1, host::painting::measure(dc, "").height);
    int y = 2;
    for (auto& name : m_model.names()) {
        if (y >= s.height() - 2)
            break;
        host::painting::text_at(dc, 4, y, name);
        y += line_height;
    }
    invalidate();
}

bool FileListBox::describe_accessible(host::AccessibleNode& node) const
{
    node.role = host::AccessibleRole::List;
    gdi::Rect own = gdi::Rect::from_size(0, 0, pixel_width(), pixel_height());
    for (int i = 0; i < ListCount(); ++i) {
        host::AccessibleNode entry;
        entry.role = host::AccessibleRole::ListItem;
        entry.name = base::cp1252_to_utf8(List(i));
        entry.bounds = own;
        node.children.push_back(std::move(entry));
    }
    return true;
}

} // namespace sorrel::lists
