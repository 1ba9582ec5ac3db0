// GradientFill for rectangles.
//
// Each pixel's channel is interpolated between the two vertex intensities (16-bit) and reduced
// to 8 bits by truncation: c = (c0 * (len - pos) + c1 * pos) / len / 256, where pos is the
// pixel's distance from the first vertex along the gradient and len the vertices' distance. The
// arithmetic is unsigned 32-bit, as in the reference engine, so the result is the same even for
// gradients too long for it. The last column (or row) of the rectangle is excluded, so the end
// colour itself is reached only in the limit.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

namespace sorrel::gdi {

namespace {

struct Vertex {
    int64_t x;
    int64_t y;
    const TRIVERTEX* source;
};

uint32_t channel(uint32_t c0, uint32_t c1, uint32_t pos, uint32_t len)
{
    return uint8_t((c0 * (len - pos) + c1 * pos) / len / 256);
}

Color gradient_color(const TRIVERTEX& v0, const TRIVERTEX& v1, uint32_t pos, uint32_t len)
{
    uint32_t r = channel(v0.Red, v1.Red, pos, len);
    uint32_t g = channel(v0.Green, v1.Green, pos, len);
    uint32_t b = channel(v0.Blue, v1.Blue, pos, len);
    // Alpha is not interpolated: drawing surfaces ignore the top byte.
    return r | (g << 8) | (b << 16);
}

void fill_rect_gradient(DeviceContext& dc, Vertex a, Vertex b, bool horizontal)
{
    // Order the vertices along the gradient; the colours travel with them.
    if (horizontal ? b.x < a.x : b.y < a.y)
        std::swap(a, b);
    int64_t left = horizontal ? a.x : std::min(a.x, b.x);
    int64_t right = horizontal ? b.x : std::max(a.x, b.x);
    int64_t top = horizontal ? std::min(a.y, b.y) : a.y;
    int64_t bottom = horizontal ? std::max(a.y, b.y) : b.y;
    Rect cells = clip_rect64(dc.clip_box(), left, top, right, bottom);
    if (cells.is_empty())
        return;
    const TRIVERTEX& v0 = *a.source;
    const TRIVERTEX& v1 = *b.source;
    Surface& surface = *dc.surface();
    if (horizontal) {
        uint32_t len = uint32_t(b.x - a.x);
        std::vector<uint32_t> row(size_t(cells.width()));
        for (int x = cells.left; x < cells.right; ++x)
            row[size_t(x - cells.left)] = gradient_color(v0, v1, uint32_t(x - a.x), len);
        for (int y = cells.top; y < cells.bottom; ++y)
            dc.for_each_visible_span(y, cells.left, cells.right, [&](int x0, int x1) {
                std::copy(row.begin() + (x0 - cells.left), row.begin() + (x1 - cells.left),
                    surface.scanline(y) + x0);
            });
    } else {
        uint32_t len = uint32_t(b.y - a.y);
        for (int y = cells.top; y < cells.bottom; ++y)
            dc.fill_span(y, cells.left, cells.right, gradient_color(v0, v1, uint32_t(y - a.y), len));
    }
}

} // namespace

BOOL GradientFill(
    HDC dc, const TRIVERTEX* vertices, ULONG vertex_count, const void* mesh, ULONG mesh_count, ULONG mode)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !vertices || !mesh || vertex_count == 0)
        return FALSE;
    if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)
        return FALSE;
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < mesh_count; ++i) {
        if (rects[i].UpperLeft >= vertex_count || rects[i].LowerRight >= vertex_count)
            return FALSE;
    }
    if (!context->surface())
        return TRUE;
    auto vertex = [&](ULONG index) {
        const TRIVERTEX& v = vertices[index];
        return Vertex {int64_t(v.x) + context->origin.x, int64_t(v.y) + context->origin.y, &v};
    };
    for (ULONG i = 0; i < mesh_count; ++i)
        fill_rect_gradient(
            *context, vertex(rects[i].UpperLeft), vertex(rects[i].LowerRight), mode == GRADIENT_FILL_RECT_H);
    return TRUE;
}

} // namespace sorrel::gdi
