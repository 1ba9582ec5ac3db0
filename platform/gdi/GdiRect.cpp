// Rectangle helpers and the rectangle fills: PatBlt, FillRect, FrameRect, DrawFocusRect.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/PixelFill.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sorrel::gdi {

// [SECTION] Rectangle arithmetic
//
// Results that would overflow 32 bits saturate instead of wrapping.

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = {left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* destination, const RECT* source)
{
    if (!destination || !source)
        return FALSE;
    *destination = *source;
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left = saturate(int64_t(rect->left) - dx);
    rect->top = saturate(int64_t(rect->top) - dy);
    rect->right = saturate(int64_t(rect->right) + dx);
    rect->bottom = saturate(int64_t(rect->bottom) + dy);
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left = saturate(int64_t(rect->left) + dx);
    rect->top = saturate(int64_t(rect->top) + dy);
    rect->right = saturate(int64_t(rect->right) + dx);
    rect->bottom = saturate(int64_t(rect->bottom) + dy);
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL IntersectRect(RECT* destination, const RECT* a, const RECT* b)
{
    if (!destination || !a || !b)
        return FALSE;
    RECT r {std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
        std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        SetRectEmpty(destination);
        return FALSE;
    }
    *destination = r;
    return TRUE;
}

BOOL UnionRect(RECT* destination, const RECT* a, const RECT* b)
{
    if (!destination || !a || !b)
        return FALSE;
    bool a_empty = IsRectEmpty(a);
    bool b_empty = IsRectEmpty(b);
    if (a_empty && b_empty) {
        SetRectEmpty(destination);
        return FALSE;
    }
    if (a_empty || b_empty) {
        *destination = a_empty ? *b : *a;
        return TRUE;
    }
    *destination = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
        std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top
        && point.y < rect->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

// [SECTION] Fills

namespace {

// Coordinates are 32-bit and wrap around as they do on Windows, so that even sizes that
// overflow (a rectangle from INT_MIN to INT_MAX) name the same cells as there.
int32_t wrap32(int64_t v)
{
    return int32_t(uint32_t(uint64_t(v)));
}

// The device cells of a PatBlt: x to x + width, or for a negative width x + width + 1 to x
// (likewise for heights), clipped to the drawable area.
Rect patblt_cells(const DeviceContext& dc, int x, int y, int width, int height)
{
    int64_t x0 = x, x1 = wrap32(int64_t(x) + width);
    int64_t y0 = y, y1 = wrap32(int64_t(y) + height);
    if (x0 > x1) {
        int64_t t = x0;
        x0 = wrap32(x1 + 1);
        x1 = wrap32(t + 1);
    }
    if (y0 > y1) {
        int64_t t = y0;
        y0 = wrap32(y1 + 1);
        y1 = wrap32(t + 1);
    }
    return clip_rect64(dc.clip_box(), x0 + dc.origin.x, y0 + dc.origin.y, x1 + dc.origin.x, y1 + dc.origin.y);
}

template<class Op> void for_each_cell_span(DeviceContext& dc, const Rect& cells, Op op)
{
    for (int y = cells.top; y < cells.bottom; ++y)
        dc.for_each_visible_span(
            y, cells.left, cells.right, [&](int a, int b) { op(dc.surface()->scanline(y), y, a, b); });
}

void fill_cells(DeviceContext& dc, const Rect& cells, Color color)
{
    if (!dc.surface() || cells.is_empty())
        return;
    if (!dc.clip_region()) {
        dc.surface()->fill_rect(cells, color);
        return;
    }
    for_each_cell_span(
        dc, cells, [color](uint32_t* row, int, int a, int b) { fill_pixels(row + a, size_t(b - a), color); });
}

void xor_cells(DeviceContext& dc, const Rect& cells, Color mask)
{
    for_each_cell_span(dc, cells, [mask](uint32_t* row, int, int a, int b) {
        for (int x = a; x < b; ++x)
            row[x] ^= mask;
    });
}

// The focus pattern: white where x + y is odd (device coordinates), so it lines up with the
// surface origin rather than with the rectangle.
void xor_checker_cells(DeviceContext& dc, const Rect& cells)
{
    // The sides of a focus rectangle are one-pixel columns: every other row flips.
    if (cells.width() == 1 && dc.surface() && !dc.clip_region()) {
        Surface& surface = *dc.surface();
        const Rect column = cells.intersected(surface.bounds());
        for (int y = column.top + ((column.left + column.top + 1) & 1); y < column.bottom; y += 2)
            surface.scanline(y)[column.left] ^= 0xFFFFFF;
        return;
    }
    for_each_cell_span(dc, cells, [](uint32_t* row, int y, int a, int b) {
        int x = a;
#ifdef __SSE2__
        // Four pixels at a time: stepping by four keeps the parity of each lane.
        const __m128i flip = ((x + y) & 1) ? _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF)
                                           : _mm_set_epi32(0xFFFFFF, 0, 0xFFFFFF, 0);
        for (; x + 4 <= b; x += 4) {
            auto* four = reinterpret_cast<__m128i*>(row + x);
            _mm_storeu_si128(four, _mm_xor_si128(_mm_loadu_si128(four), flip));
        }
#endif
        for (x += (x + y + 1) & 1; x < b; x += 2)
            row[x] ^= 0xFFFFFF;
    });
}

} // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    Rect cells = patblt_cells(*context, x, y, width, height);
    BrushObject* brush = context->brush_object();
    switch (rop) {
    case PATCOPY:
        if (brush && !brush->hollow)
            fill_cells(*context, cells, brush->color);
        return TRUE;
    case PATINVERT:
        if (brush && !brush->hollow)
            xor_cells(*context, cells, brush->color);
        return TRUE;
    case DSTINVERT:
        xor_cells(*context, cells, 0xFFFFFF);
        return TRUE;
    case BLACKNESS:
        fill_cells(*context, cells, 0x000000);
        return TRUE;
    case WHITENESS:
        fill_cells(*context, cells, 0xFFFFFF);
        return TRUE;
    default:
        return FALSE;
    }
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* context = dc_from_handle(dc);
    std::optional<Color> color = brush_color(brush);
    if (!context || !rect || !color)
        return 0;
    // An inverted rectangle paints as PatBlt does with a negative size; an empty one paints nothing.
    if (brush_paints(brush))
        fill_cells(*context,
            patblt_cells(*context, rect->left, rect->top, wrap32(int64_t(rect->right) - rect->left),
                wrap32(int64_t(rect->bottom) - rect->top)),
            *color);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* context = dc_from_handle(dc);
    std::optional<Color> color = brush_color(brush);
    if (!context || !rect || !color)
        return 0;
    // Empty and inverted rectangles get no frame.
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return 0;
    if (!brush_paints(brush))
        return 1;
    int w = wrap32(int64_t(rect->right) - rect->left);
    int h = wrap32(int64_t(rect->bottom) - rect->top);
    fill_cells(*context, patblt_cells(*context, rect->left, rect->top, 1, h), *color);
    fill_cells(*context, patblt_cells(*context, wrap32(int64_t(rect->right) - 1), rect->top, 1, h), *color);
    fill_cells(*context, patblt_cells(*context, rect->left, rect->top, w, 1), *color);
    fill_cells(*context, patblt_cells(*context, rect->left, wrap32(int64_t(rect->bottom) - 1), w, 1), *color);
    return 1;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !rect)
        return FALSE;
    int w = wrap32(int64_t(rect->right) - rect->left);
    int h = wrap32(int64_t(rect->bottom) - rect->top);
    // Four strips, each inverted on its own: a pixel covered twice ends up unchanged.
    auto strip = [&](int64_t x, int64_t y, int sw, int sh) {
        xor_checker_cells(*context, patblt_cells(*context, wrap32(x), wrap32(y), sw, sh));
    };
    strip(rect->left, rect->top, w, 1);
    strip(rect->left, int64_t(rect->bottom) - 1, w, 1);
    strip(rect->left, int64_t(rect->top) + 1, 1, wrap32(int64_t(h) - 2));
    strip(int64_t(rect->right) - 1, int64_t(rect->top) + 1, 1, wrap32(int64_t(h) - 2));
    return TRUE;
}

} // namespace sorrel::gdi
