#include "platform/host/Image.h"

#include "platform/host/Accessibility.h"

namespace sorrel::host {

Image::Image() = default;

Image::Image(Control& container, std::string name, bool visible)
{
    attach(container, std::move(name));
    Visible(visible);
}

const gdi::Surface* Image::surface() const
{
    return m_picture ? &m_shown : nullptr;
}

void Image::Picture(PictureRef picture)
{
    if (picture == m_picture)
        return;
    m_picture = std::move(picture);
    repaint();
}

void Image::Stretch(bool stretch)
{
    if (stretch == m_stretch)
        return;
    m_stretch = stretch;
    repaint();
}

void Image::repaint()
{
    // Only a shown image needs its pixels; a holder just keeps the picture.
    gdi::Rect r = pixel_rect();
    if (!m_picture || r.is_empty()) {
        m_shown = {};
        invalidate();
        return;
    }
    const gdi::Surface& src = m_picture->pixels();
    m_shown = gdi::Surface(r.width(), r.height(), 0); // fully transparent
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            int sx = m_stretch ? int((x + 0.5) * src.width() / r.width()) : x;
            int sy = m_stretch ? int((y + 0.5) * src.height() / r.height()) : y;
            if (src.in_bounds(sx, sy))
                m_shown.scanline(y)[x] = src.pixel(sx, sy);
        }
    }
    invalidate();
}

void Image::handle_resize()
{
    repaint();
}

std::string Image::dump_text() const
{
    if (!m_picture)
        return "no picture";
    return "picture " + std::to_string(m_picture->pixel_width()) + "x"
        + std::to_string(m_picture->pixel_height());
}

bool Image::describe_accessible(AccessibleNode& node) const
{
    node.role = AccessibleRole::Graphic;
    return true;
}

} // namespace sorrel::host
