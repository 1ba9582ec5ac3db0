// Region objects and clipping.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

#include <vector>

namespace sorrel::gdi {

namespace {

RegionObject* region_of(HRGN region)
{
    return object_cast<RegionObject>(region);
}

int region_type(const Region& region)
{
    if (region.is_empty())
        return NULLREGION;
    return region.is_rectangle() ? SIMPLEREGION : COMPLEXREGION;
}

// Rectangle regions are made of the cells the corners enclose, in whichever order they come.
Region rect_region(int left, int top, int right, int bottom)
{
    return Region::from_rect(Rect {left, top, right, bottom});
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    return register_object<HRGN>(std::make_unique<RegionObject>(rect_region(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect)
        return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fill_mode)
{
    if (!points || count < 2 || (fill_mode != ALTERNATE && fill_mode != WINDING))
        return nullptr;
    std::vector<Point> vertices;
    vertices.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        vertices.push_back({points[i].x, points[i].y});
    FillRule rule = fill_mode == WINDING ? FillRule::Winding : FillRule::Alternate;
    return register_object<HRGN>(std::make_unique<RegionObject>(Region::from_polygon(vertices, rule)));
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode)
{
    RegionObject* target = region_of(destination);
    RegionObject* first = region_of(a);
    if (!target || !first)
        return ERROR;
    if (mode == RGN_COPY) {
        target->region = first->region;
        return region_type(target->region);
    }
    RegionObject* second = region_of(b);
    if (!second)
        return ERROR;
    switch (mode) {
    case RGN_AND:
        target->region = first->region.intersected(second->region);
        break;
    case RGN_OR:
        target->region = first->region.united(second->region);
        break;
    case RGN_XOR:
        target->region = first->region.xored(second->region);
        break;
    case RGN_DIFF:
        target->region = first->region.subtracted(second->region);
        break;
    default:
        return ERROR;
    }
    return region_type(target->region);
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush)
{
    DeviceContext* context = dc_from_handle(dc);
    RegionObject* object = region_of(region);
    std::optional<Color> color = brush_color(brush);
    if (!context || !object || !color)
        return FALSE;
    if (!brush_paints(brush))
        return TRUE;
    Rect box = context->clip_box();
    for (const Rect& r : object->region.rects()) {
        Rect cells = clip_rect64(box, int64_t(r.left) + context->origin.x, int64_t(r.top) + context->origin.y,
            int64_t(r.right) + context->origin.x, int64_t(r.bottom) + context->origin.y);
        for (int y = cells.top; y < cells.bottom; ++y)
            context->fill_span(y, cells.left, cells.right, *color);
    }
    return TRUE;
}

BOOL PtInRegion(HRGN region, int x, int y)
{
    RegionObject* object = region_of(region);
    return object && object->region.contains(x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box)
{
    RegionObject* object = region_of(region);
    if (!object || !box)
        return ERROR;
    Rect b = object->region.bounding_box();
    *box = {b.left, b.top, b.right, b.bottom};
    return region_type(object->region);
}

int OffsetRgn(HRGN region, int dx, int dy)
{
    RegionObject* object = region_of(region);
    if (!object)
        return ERROR;
    // A move that would carry the region past the coordinate range is refused.
    Rect b = object->region.bounding_box();
    if (!object->region.is_empty()
        && (int64_t(b.left) + dx < INT32_MIN || int64_t(b.right) + dx > INT32_MAX
            || int64_t(b.top) + dy < INT32_MIN || int64_t(b.bottom) + dy > INT32_MAX))
        return ERROR;
    object->region.offset(dx, dy);
    return region_type(object->region);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    RegionObject* first = region_of(a);
    RegionObject* second = region_of(b);
    if (!first || !second)
        return ERROR;
    return first->region == second->region ? TRUE : FALSE;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom)
{
    RegionObject* object = region_of(region);
    if (!object)
        return FALSE;
    object->region = rect_region(left, top, right, bottom);
    return TRUE;
}

int SelectClipRgn(HDC dc, HRGN region)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return ERROR;
    if (!region) {
        context->set_clip_region(std::nullopt);
        return SIMPLEREGION;
    }
    RegionObject* object = region_of(region);
    if (!object)
        return ERROR;
    // The clip is given in device coordinates and kept as a copy.
    context->set_clip_region(object->region);
    return region_type(object->region);
}

int GetClipBox(HDC dc, RECT* box)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !box)
        return ERROR;
    Rect b = context->clip_box();
    *box = {saturate(int64_t(b.left) - context->origin.x), saturate(int64_t(b.top) - context->origin.y),
        saturate(int64_t(b.right) - context->origin.x), saturate(int64_t(b.bottom) - context->origin.y)};
    if (b.is_empty())
        return NULLREGION;
    return context->clip_region() && !context->clip_region()->is_rectangle() ? COMPLEXREGION : SIMPLEREGION;
}

} // namespace sorrel::gdi
