#include "platform/host/Frame.h"

#include "platform/host/Accessibility.h"
#include "platform/host/StandardPainting.h"

namespace sorrel::host {

Frame::Frame()
    : CanvasControl(0x8000000F, 0x80000012)
{ }

Frame::Frame(Control& container, std::string name)
    : Frame()
{
    attach(container, std::move(name));
    m_caption = Name();
}

void Frame::Caption(std::string caption)
{
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    repaint();
    accessible_changed(AccessibleEvent::Name);
}

void Frame::BorderStyle(int16_t style)
{
    if ((style != 0 && style != 1) || style == m_border_style)
        return;
    m_border_style = style;
    repaint();
}

void Frame::repaint()
{
    m_canvas.Cls();
    gdi::Surface& s = m_canvas.pixels();
    if (m_border_style == 1 && !s.is_empty()) {
        gdi::HDC dc = m_canvas.hDC();
        auto size = painting::measure(dc, m_caption.empty() ? std::string_view("X") : m_caption);
        int line_y = size.height / 2;
        painting::etched_rect(s, {0, line_y, s.width(), s.height()});
        if (!m_caption.empty()) {
            // The caption interrupts the top edge: its box is filled with the background.
            s.fill_rect(gdi::Rect::from_size(6, 0, size.width + 4, size.height), m_canvas.back_pixel());
            painting::text_at(dc, 8, 0, m_caption);
        }
    }
    invalidate();
}

bool Frame::describe_accessible(AccessibleNode& node) const
{
    node.role = AccessibleRole::Grouping;
    // The caption is drawn as it stands, "&" included, so it is read so too.
    node.name = m_caption;
    return true;
}

} // namespace sorrel::host
