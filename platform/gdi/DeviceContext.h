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

    // Selected objects. The font may be null, meaning the default font.
    HPEN pen() const { return m_pen; }
    HBRUSH brush() const { return m_brush; }
    HFONT font() const { return m_font; }
    HBITMAP bitmap() const { return m_bitmap; }
    PenObject* pen_object() const { return object_cast<PenObject>(m_pen); }
    BrushObject* brush_object() const { return object_cast<BrushObject>(m_brush); }

    // Each returns the previously selected object; the caller has validated the new one.
    HPEN select_pen(HPEN pen);
    HBRUSH select_brush(HBRUSH brush);
    HFONT select_font(HFONT font);
    // Memory DCs only; returns NULL (and changes nothing) for a surface DC.
    HBITMAP select_bitmap(HBITMAP bitmap);

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
    Surface* m_surface {nullptr};
    bool m_memory {false};
    HPEN m_pen {nullptr};
    HBRUSH m_brush {nullptr};
    HFONT m_font {nullptr};
    HBITMAP m_bitmap {nullptr};
    std::optional<Region> m_clip;
};

// The context behind `dc`, or nullptr for an invalid handle.
DeviceContext* dc_from_handle(HDC dc);

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
