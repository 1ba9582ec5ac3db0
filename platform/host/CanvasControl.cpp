#include "platform/host/CanvasControl.h"

namespace sorrel::host {

CanvasControl::CanvasControl(gdi::Color back_color, gdi::Color fore_color)
{
    m_canvas.BackColor(back_color);
    m_canvas.ForeColor(fore_color);
}

void CanvasControl::BackColor(gdi::Color color)
{
    m_canvas.BackColor(color);
    repaint();
}

void CanvasControl::ForeColor(gdi::Color color)
{
    m_canvas.ForeColor(color);
    repaint();
}

void CanvasControl::Font(const FontRef& font)
{
    m_font_subscription.reset();
    m_canvas.Font(font);
    if (font)
        m_font_subscription = font->subscribe([this](const std::string&) { repaint(); });
    repaint();
}

void CanvasControl::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    repaint();
}

} // namespace sorrel::host
