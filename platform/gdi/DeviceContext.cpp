#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/PixelFill.h"

namespace sorrel::gdi {

DeviceContext::DeviceContext(Surface* surface)
    : GdiObject(static_kind)
    , m_surface(surface)
    , m_memory(surface == nullptr)
{
    select_pen(HPEN(GetStockObject(BLACK_PEN)));
    select_brush(HBRUSH(GetStockObject(WHITE_BRUSH)));
    select_font(HFONT(GetStockObject(SYSTEM_FONT)));
    // A memory DC starts with the stock one-pixel bitmap, as on Windows.
    if (m_memory)
        select_bitmap(HBITMAP(GetStockObject(default_bitmap_stock_index)));
}

DeviceContext::~DeviceContext()
{
    ObjectTable& table = ObjectTable::the();
    for (GdiObject* object : {static_cast<GdiObject*>(m_pen), static_cast<GdiObject*>(m_brush), m_font,
             static_cast<GdiObject*>(m_bitmap)}) {
        if (object)
            table.release_selection(object);
    }
}

HPEN DeviceContext::select_pen(HPEN pen)
{
    PenObject* object = object_cast<PenObject>(pen);
    if (!object)
        return nullptr;
    return select(object);
}

HBRUSH DeviceContext::select_brush(HBRUSH brush)
{
    BrushObject* object = object_cast<BrushObject>(brush);
    if (!object)
        return nullptr;
    return select(object);
}

HFONT DeviceContext::select_font(HFONT font)
{
    GdiObject* object = lookup_object(handle_value(font));
    if (!object || object->kind() != ObjectKind::Font)
        return nullptr;
    return select_font_object(object);
}

HBITMAP DeviceContext::select_bitmap(HBITMAP bitmap)
{
    BitmapObject* object = object_cast<BitmapObject>(bitmap);
    if (!object)
        return nullptr;
    return select(object);
}

HBITMAP DeviceContext::select(BitmapObject* bitmap)
{
    // Only memory DCs hold bitmaps, and a bitmap is in at most one DC at a time.
    if (!m_memory || (bitmap != m_bitmap && bitmap->selection_count() > 0 && !bitmap->is_stock()))
        return nullptr;
    HBITMAP previous = handle_from_value<HBITMAP>(swap_selection(m_bitmap, bitmap));
    m_surface = &bitmap->pixels;
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
    for_each_visible_span(
        y, x0, x1, [&](int a, int b) { fill_pixels(m_surface->scanline(y) + a, size_t(b - a), color); });
}

void DeviceContext::xor_span(int y, int x0, int x1, Color mask)
{
    for_each_visible_span(y, x0, x1, [&](int a, int b) {
        uint32_t* row = m_surface->scanline(y);
        for (int x = a; x < b; ++x)
            row[x] ^= mask;
    });
}

} // namespace sorrel::gdi
