// Current position, lines, pixels and polygon outlines.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/LineStroke.h"

#include <vector>

namespace sorrel::gdi {

namespace {

Point64 device_point(const DeviceContext& dc, int64_t x, int64_t y)
{
    return {x + dc.origin.x, y + dc.origin.y};
}

// The colour the selected pen draws with, or nothing for a null pen. Wide and styled pens are
// drawn one pixel wide and solid: the controls use nothing else.
std::optional<Color> pen_color(const DeviceContext& dc)
{
    PenObject* pen = dc.pen_object();
    if (!pen || pen->style == PS_NULL)
        return std::nullopt;
    return pen->color;
}

void stroke_path(DeviceContext& dc, const POINT* points, int count, bool closed)
{
    std::optional<Color> color = pen_color(dc);
    if (!color)
        return;
    for (int i = 0; i + 1 < count; ++i)
        stroke_line(dc, device_point(dc, points[i].x, points[i].y),
            device_point(dc, points[i + 1].x, points[i + 1].y), *color);
    if (closed)
        stroke_line(dc, device_point(dc, points[count - 1].x, points[count - 1].y),
            device_point(dc, points[0].x, points[0].y), *color);
}

} // namespace

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    if (previous)
        *previous = {context->current_position.x, context->current_position.y};
    context->current_position = {x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, POINT* position)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !position)
        return FALSE;
    *position = {context->current_position.x, context->current_position.y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    if (std::optional<Color> color = pen_color(*context)) {
        Point from = context->current_position;
        stroke_line(*context, device_point(*context, from.x, from.y), device_point(*context, x, y), *color);
    }
    context->current_position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !points || count < 2)
        return FALSE;
    stroke_path(*context, points, count, false);
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !points || count < 2)
        return FALSE;
    // The interior is painted first (alternate rule) so that the outline lies over it.
    BrushObject* brush = context->brush_object();
    if (brush && !brush->hollow && context->surface()) {
        std::vector<Point> device;
        device.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            Point64 p = device_point(*context, points[i].x, points[i].y);
            device.push_back({saturate(p.x), saturate(p.y)});
        }
        Rect box = context->clip_box();
        Region interior
            = Region::from_polygon(device, FillRule::Alternate, &box).intersected(Region::from_rect(box));
        for (const Rect& r : interior.rects())
            for (int y = r.top; y < r.bottom; ++y)
                context->fill_span(y, r.left, r.right, brush->color);
    }
    stroke_path(*context, points, count, true);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    RECT r {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    if (r.left == r.right || r.top == r.bottom)
        return TRUE;
    // The outline runs along the inside of the rectangle; the brush fills what it encloses.
    BrushObject* brush = context->brush_object();
    if (brush && !brush->hollow) {
        bool outlined = pen_color(*context).has_value();
        int inset = outlined ? 1 : 0;
        Point64 a = device_point(*context, int64_t(r.left) + inset, int64_t(r.top) + inset);
        Point64 b = device_point(*context, int64_t(r.right) - inset, int64_t(r.bottom) - inset);
        Rect cells = clip_rect64(context->clip_box(), a.x, a.y, b.x, b.y);
        for (int y = cells.top; y < cells.bottom; ++y)
            context->fill_span(y, cells.left, cells.right, brush->color);
    }
    POINT corners[4]
        = {{r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 1, r.top}};
    stroke_path(*context, corners, 4, true);
    return TRUE;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    Point64 p = device_point(*context, x, y);
    if (p.x >= INT32_MIN && p.x <= INT32_MAX && p.y >= INT32_MIN && p.y <= INT32_MAX)
        context->plot(int(p.x), int(p.y), without_alpha(color));
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    if (!SetPixelV(dc, x, y, color))
        return CLR_INVALID;
    return without_alpha(color);
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return CLR_INVALID;
    Point64 p = device_point(*context, x, y);
    if (p.x < INT32_MIN || p.x > INT32_MAX || p.y < INT32_MIN || p.y > INT32_MAX)
        return CLR_INVALID;
    if (!context->is_visible(int(p.x), int(p.y)))
        return CLR_INVALID;
    return without_alpha(context->surface()->scanline(int(p.y))[p.x]);
}

} // namespace sorrel::gdi
