#include "platform/host/PictureBox.h"

#include "platform/host/Accessibility.h"

namespace sorrel::host {

PictureBox::PictureBox()
{
    m_canvas.BackColor(0x8000000F); // the button face, as a new picture box has
}

PictureBox::PictureBox(Control& container, std::string name)
    : PictureBox()
{
    attach(container, std::move(name));
}

void PictureBox::Picture(PictureRef picture)
{
    // Assigning the picture that is already shown changes nothing on screen; skip the work.
    if (picture == m_picture && picture)
        return;
    m_picture = std::move(picture);
    repaint();
}

void PictureBox::BackColor(gdi::Color color)
{
    m_canvas.BackColor(color);
    repaint();
}

void PictureBox::BorderStyle(int16_t style)
{
    if (style != 0 && style != 1)
        return;
    m_border_style = style;
    repaint();
}

void PictureBox::Cls()
{
    m_canvas.Cls();
    invalidate();
}

void PictureBox::repaint()
{
    m_canvas.Cls();
    if (m_picture)
        m_canvas.PaintPicture(m_picture, 0, 0);
    if (m_border_style == 1) {
        gdi::Surface& s = m_canvas.pixels();
        gdi::Color dark = 0x00000000;
        s.fill_rect({0, 0, s.width(), 1}, dark);
        s.fill_rect({0, 0, 1, s.height()}, dark);
        s.fill_rect({0, s.height() - 1, s.width(), s.height()}, dark);
        s.fill_rect({s.width() - 1, 0, s.width(), s.height()}, dark);
    }
    invalidate();
}

void PictureBox::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    repaint();
}

bool PictureBox::describe_accessible(AccessibleNode& node) const
{
    node.role = AccessibleRole::Graphic;
    return true;
}

} // namespace sorrel::host
