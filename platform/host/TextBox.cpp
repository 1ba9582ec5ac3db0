#include "platform/host/TextBox.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Host.h"
#include "platform/host/StandardPainting.h"

namespace sorrel::host {

TextBox::TextBox()
    : CanvasControl(0x80000005, 0x80000008)
{ }

TextBox::TextBox(Control& container, std::string name)
    : TextBox()
{
    attach(container, std::move(name));
}

void TextBox::Text(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    repaint();
    accessible_changed(AccessibleEvent::Name);
    if (on_change)
        on_change();
}

void TextBox::MultiLine(bool multi_line)
{
    m_multi_line = multi_line;
    repaint();
}

void TextBox::Alignment(int16_t alignment)
{
    if (alignment < 0 || alignment > 2)
        return;
    m_alignment = alignment;
    repaint();
}

void TextBox::BorderStyle(int16_t style)
{
    if (style != 0 && style != 1)
        return;
    m_border_style = style;
    repaint();
}

void TextBox::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (s.is_empty()) {
        invalidate();
        return;
    }
    int inset = m_border_style == 1 ? 2 : 0;
    if (m_border_style == 1)
        painting::sunken_edge(s, s.bounds());
    gdi::HDC dc = m_canvas.hDC();
    int text_left = inset + 1, text_right = s.width() - inset - 1;
    int width = text_right - text_left;
    std::vector<std::string> lines;
    if (m_multi_line) {
        lines = painting::lines_of(dc, m_text, width);
    } else {
        // A single-line field shows the text up to the first line break.
        auto all = painting::lines_of(dc, m_text, 0);
        lines.push_back(all.empty() ? std::string() : all.front());
    }
    int line_height = painting::measure(dc, "").height;
    if (line_height <= 0)
        line_height = 13;
    int y = inset + 1;
    for (auto& line : lines) {
        if (y >= s.height() - inset)
            break;
        int w = painting::measure(dc, line).width;
        int x = text_left;
        if (m_alignment == 1)
            x = text_right - w;
        else if (m_alignment == 2)
            x = text_left + (width - w) / 2;
        painting::text_at(dc, x, y, line);
        y += line_height;
    }
    invalidate();
}

void TextBox::handle_key_down(int16_t& /*key_code*/, int16_t& /*shift*/)
{ }

void TextBox::handle_key_press(int16_t& key_ascii)
{
    if (m_locked)
        return;
    std::string text = m_text;
    if (key_ascii == vbKeyBack) {
        if (!text.empty()) {
            bool crlf = text.size() >= 2 && text.ends_with("\r\n");
            text.resize(text.size() - (crlf ? 2 : 1));
        }
    } else if (key_ascii == vbKeyReturn) {
        if (!m_multi_line)
            return;
        text += "\r\n";
    } else if (key_ascii >= 32 && key_ascii < 256) {
        text += char(key_ascii);
    } else {
        return;
    }
    Text(std::move(text));
}

bool TextBox::describe_accessible(AccessibleNode& node) const
{
    // The window shows its fields as read-only text: the text itself is what is read.
    node.role = AccessibleRole::Text;
    node.name = m_text;
    return true;
}

} // namespace sorrel::host
