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

#include <cstring>
#include <vector>

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

// A run of pixels without a division per pixel. Each channel's exact value
// floor(n / (256 len)), n = c0 (len - pos) + c1 pos, is tracked as a 16.48 fixed-point number
// stepped by a constant. Each step can lose at most 2^-48, so over 65536 steps the total stays
// below 2^-32; a non-integer quotient is at least 1 / (256 len) >= 2^-24 away from the next
// integer, so adding 2^-30 before truncating gives exactly the integer quotient every time.
constexpr uint32_t max_stepped_length = 65536;
constexpr int fraction_bits = 48;

struct FixedChannel {
    uint64_t value;
    int64_t step;
};

// With the 256 of the divisor taken into the shift, value = n * 2^40 / len and step =
// (c1 - c0) * 2^40 / len. n < 2^32 shifted by 40 would overflow, so its whole part and remainder
// are scaled apart (floor(n / len) < 2^16, remainder < len <= 2^16); |c1 - c0| < 2^16 fits shifted.
FixedChannel fixed_channel(uint32_t c0, uint32_t c1, uint32_t pos, uint32_t len)
{
    constexpr int shift = fraction_bits - 8;
    uint64_t n = uint64_t(c0) * (len - pos) + uint64_t(c1) * pos;
    uint64_t value = (n / len << shift) + (n % len << shift) / len + (uint64_t(1) << (fraction_bits - 30));
    int64_t slope = (int64_t(c1) - int64_t(c0)) * (int64_t(1) << shift);
    int64_t step = slope / len;
    if (slope % len != 0 && slope < 0)
        --step; // round towards minus infinity, so the running value never overshoots
    return {value, step};
}

void gradient_run(
    uint32_t* out, int count, const TRIVERTEX& v0, const TRIVERTEX& v1, uint32_t pos, uint32_t len)
{
    if (len > max_stepped_length) {
        for (int i = 0; i < count; ++i)
            out[i] = gradient_color(v0, v1, pos + uint32_t(i), len);
        return;
    }
    FixedChannel r = fixed_channel(v0.Red, v1.Red, pos, len);
    FixedChannel g = fixed_channel(v0.Green, v1.Green, pos, len);
    FixedChannel b = fixed_channel(v0.Blue, v1.Blue, pos, len);
    for (int i = 0; i < count; ++i) {
        out[i] = uint32_t(r.value >> fraction_bits) | (uint32_t(g.value >> fraction_bits) << 8)
            | (uint32_t(b.value >> fraction_bits) << 16);
        r.value += uint64_t(r.step);
        g.value += uint64_t(g.step);
        b.value += uint64_t(b.step);
    }
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
    if (!horizontal) {
        uint32_t len = uint32_t(b.y - a.y);
        for (int y = cells.top; y < cells.bottom; ++y)
            dc.fill_span(y, cells.left, cells.right, gradient_color(v0, v1, uint32_t(y - a.y), len));
        return;
    }
    // Every row of a horizontal gradient is the same: compute one, copy it to the others.
    uint32_t len = uint32_t(b.x - a.x);
    uint32_t pos = uint32_t(cells.left - a.x);
    size_t width = size_t(cells.width());
    if (!dc.clip_region()) {
        uint32_t* first = surface.scanline(cells.top) + cells.left;
        gradient_run(first, cells.width(), v0, v1, pos, len);
        for (int y = cells.top + 1; y < cells.bottom; ++y)
            std::memcpy(surface.scanline(y) + cells.left, first, width * sizeof(uint32_t));
        return;
    }
    std::vector<uint32_t> row(width);
    gradient_run(row.data(), cells.width(), v0, v1, pos, len);
    for (int y = cells.top; y < cells.bottom; ++y)
        dc.for_each_visible_span(y, cells.left, cells.right, [&](int x0, int x1) {
            std::memcpy(
                surface.scanline(y) + x0, row.data() + (x0 - cells.left), size_t(x1 - x0) * sizeof(uint32_t));
        });
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
