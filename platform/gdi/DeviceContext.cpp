#include "platform/gdi/DeviceContext.h"

namespace sorrel::gdi {

DeviceContext::DeviceContext(Surface* surface)
    : GdiObject(static_kind)
    , m_surface(surface)
    , m_memory(surface == nullptr)
{
    select_pen(HPEN(GetStockObject(BLACK_PEN)));
    select_brush(HBRUSH(GetStockObject(WHITE_BRUSH)));
    select_font(HFONT(GetStockObject(SYSTEM_FONT)));
}

DeviceContext::~DeviceContext()
{
    release_selection(handle_value(m_pen));
    release_selection(handle_value(m_brush));
    release_selection(handle_value(m_font));
    release_selection(handle_value(m_bitmap));
}

template<class Handle> static Handle swap_selection(Handle& slot, Handle next)
{
    Handle previous = slot;
    retain_selection(handle_value(next));
    slot = next;
    // Released after the new one is held, so reselecting the same object never frees it.
    release_selection(handle_value(previous));
    return previous;
}

HPEN DeviceContext::select_pen(HPEN pen)
{
    return swap_selection(m_pen, pen);
}

HBRUSH DeviceContext::select_brush(HBRUSH brush)
{
    return swap_selection(m_brush, brush);
}

HFONT DeviceContext::select_font(HFONT font)
{
    return swap_selection(m_font, font);
}

HBITMAP DeviceContext::select_bitmap(HBITMAP bitmap)
{
    if (!m_memory)
        return nullptr;
    auto* object = object_cast<BitmapObject>(bitmap);
    HBITMAP previous = swap_selection(m_bitmap, bitmap);
    m_surface = object ? &object->pixels : nullptr;
    return previous;
}

Rect DeviceContext::clip_box() const
{
    if (!m_surface)
        return {};
    Rect box = m_surface->bounds();
    if (m_clip)
        box = box.intersected(m_clip->bounding_box());
    return box;
}

bool DeviceContext::is_visible(int x, int y) const
{
    if (!m_surface || !m_surface->in_bounds(x, y))
        return false;
    return !m_clip || m_clip->contains(x, y);
}

void DeviceContext::plot(int x, int y, Color color)
{
    if (is_visible(x, y))
        m_surface->scanline(y)[x] = color;
}

void DeviceContext::blend(int x, int y, Color color, uint8_t alpha)
{
    if (alpha == 0 || !is_visible(x, y))
        return;
    uint32_t& pixel = m_surface->scanline(y)[x];
    if (alpha == 255) {
        pixel = without_alpha(color);
        return;
    }
    auto mix = [alpha](unsigned under, unsigned over) {
        return (over * alpha + under * (255 - alpha) + 127) / 255;
    };
    pixel = rgb(mix(red_of(pixel), red_of(color)), mix(green_of(pixel), green_of(color)),
        mix(blue_of(pixel), blue_of(color)));
}

void DeviceContext::fill_span(int y, int x0, int x1, Color color)
{
    for_each_visible_span(y, x0, x1, [&](int a, int b) {
        uint32_t* row = m_surface->scanline(y);
        std::fill(row + a, row + b, color);
    });
}

void DeviceContext::xor_span(int y, int x0, int x1, Color mask)
{
    for_each_visible_span(y, x0, x1, [&](int a, int b) {
        uint32_t* row = m_surface->scanline(y);
        for (int x = a; x < b; ++x)
            row[x] ^= mask;
    });
}

DeviceContext* dc_from_handle(HDC dc)
{
    return object_cast<DeviceContext>(dc);
}

} // namespace sorrel::gdi
