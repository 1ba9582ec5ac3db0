#pragma once

// The state behind an HDC: the surface it draws on, the selected objects, colours and modes,
// the current position, an optional clip region and the viewport origin.
//
// Coordinates: the facade takes logical coordinates; to_device() adds the viewport origin.
// The pixel helpers below take DEVICE coordinates and clip to the surface and the clip region,
// so other modules (the text engine) can draw through them without writing outside.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/Region.h"

#include <optional>

namespace sorrel::gdi {

class DeviceContext final : public GdiObject {
public:
    static constexpr ObjectKind static_kind = ObjectKind::DeviceContext;

    // A context on `surface` (a surface DC), or with `surface` null a memory DC that draws on
    // the bitmap selected into it.
    explicit DeviceContext(Surface* surface);
    ~DeviceContext() override;

    bool is_memory_dc() const { return m_memory; }
    // The surface drawn on: the caller's surface, or a memory DC's selected bitmap (or nullptr).
    Surface* surface() const { return m_surface; }

    // Selected objects. The font may be null, meaning the default font. A selected object
    // stays alive while it is selected, so the pointers below are always valid (or null).
    HPEN pen() const { return handle_from_value<HPEN>(m_pen ? m_pen->handle() : 0); }
    HBRUSH brush() const { return handle_from_value<HBRUSH>(m_brush ? m_brush->handle() : 0); }
    HFONT font() const { return handle_from_value<HFONT>(m_font ? m_font->handle() : 0); }
    HBITMAP bitmap() const { return handle_from_value<HBITMAP>(m_bitmap ? m_bitmap->handle() : 0); }
    PenObject* pen_object() const { return m_pen; }
    BrushObject* brush_object() const { return m_brush; }
    GdiObject* font_object() const { return m_font; }

    // Each returns the previously selected object's handle; an invalid or wrong-kind handle
    // selects nothing and returns NULL.
    HPEN select_pen(HPEN pen);
    HBRUSH select_brush(HBRUSH brush);
    HFONT select_font(HFONT font);
    // Memory DCs only; returns NULL (and changes nothing) for a surface DC.
    HBITMAP select_bitmap(HBITMAP bitmap);
    // The same for objects already looked up (never null).
    HPEN select(PenObject* pen) { return handle_from_value<HPEN>(swap_selection(m_pen, pen)); }
    HBRUSH select(BrushObject* brush) { return handle_from_value<HBRUSH>(swap_selection(m_brush, brush)); }
    HFONT select_font_object(GdiObject* font)
    {
        return handle_from_value<HFONT>(swap_selection(m_font, font));
    }
    HBITMAP select(BitmapObject* bitmap);

    Point current_position {};
    Color text_color {0x000000};
    Color bk_color {0xFFFFFF};
    int bk_mode {OPAQUE};
    int graphics_mode {GM_COMPATIBLE};
    Point origin {};

    Point to_device(int x, int y) const { return {x + origin.x, y + origin.y}; }

    // The clip region in device coordinates, if any.
    const std::optional<Region>& clip_region() const { return m_clip; }
    void set_clip_region(std::optional<Region> region) { m_clip = std::move(region); }

    // The device rectangle drawing may touch: the surface bounds, narrowed by the clip box.
    Rect clip_box() const;
    bool is_visible(int x, int y) const;

    // Device-coordinate pixel helpers, clipped.
    void plot(int x, int y, Color color);
    // Mixes `color` over the pixel with coverage alpha 0..255.
    void blend(int x, int y, Color color, uint8_t alpha);
    // Row y, columns x0..x1-1 (in either order of x0, x1 only when x0 < x1).
    void fill_span(int y, int x0, int x1, Color color);
    void xor_span(int y, int x0, int x1, Color mask);
    // Calls `span(x0, x1)` for each visible run of row y within [x0, x1).
    template<class F> void for_each_visible_span(int y, int x0, int x1, F&& span) const;

private:
    template<class T> uintptr_t swap_selection(T*& slot, T* next)
    {
        T* previous = slot;
        ObjectTable& table = ObjectTable::the();
        uintptr_t previous_handle = previous ? previous->handle() : 0;
        table.retain_selection(next);
        slot = next;
        // Released after the new one is held, so reselecting the same object never frees it.
        if (previous)
            table.release_selection(previous);
        return previous_handle;
    }

    Surface* m_surface {nullptr};
    bool m_memory {false};
    PenObject* m_pen {nullptr};
    BrushObject* m_brush {nullptr};
    GdiObject* m_font {nullptr};
    BitmapObject* m_bitmap {nullptr};
    std::optional<Region> m_clip;
};

// The context behind `dc`, or nullptr for an invalid handle.
inline DeviceContext* dc_from_handle(HDC dc)
{
    return object_cast<DeviceContext>(dc);
}

template<class F> void DeviceContext::for_each_visible_span(int y, int x0, int x1, F&& span) const
{
    if (!m_surface || y < 0 || y >= m_surface->height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_surface->width());
    if (x0 >= x1)
        return;
    if (!m_clip) {
        span(x0, x1);
        return;
    }
    m_clip->for_each_span(y, x0, x1, span);
}

} // namespace sorrel::gdi
