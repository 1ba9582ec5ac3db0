// DrawStateA for icons and bitmaps, and DrawIconEx.
//
// The disabled (embossed) look draws the picture's foreground twice in flat colours: once in
// the 3-D highlight colour one pixel down and to the right, then in the 3-D shadow colour at
// the picture's place, so the shape appears pressed into the surface. Which pixels are
// foreground:
//   - icon: a pixel whose alpha (top byte) is not 0 and which is not near white, that is not
//     every channel 0xF0 or more;
//   - bitmap: a pixel darker than mid grey, by luminance (30 R + 59 G + 11 B) / 100 < 128, as
//     a monochrome conversion sees it; light backgrounds (white, the button face) drop out.
// DSS_MONO paints the foreground in the given brush (black without one). Every other state
// draws the picture itself: an icon with its transparency, a bitmap opaquely.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/StretchCopy.h"

namespace sorrel::gdi {

namespace {

// Sizes beyond this are refused rather than allocated.
constexpr int max_picture_side = 4096;

enum class Picture {
    Icon,
    Bitmap,
};

bool is_foreground(uint32_t pixel, Picture kind)
{
    if (kind == Picture::Icon) {
        if (alpha_of(pixel) == 0)
            return false;
        bool near_white = red_of(pixel) >= 0xF0 && green_of(pixel) >= 0xF0 && blue_of(pixel) >= 0xF0;
        return !near_white;
    }
    unsigned luminance = (30u * red_of(pixel) + 59u * green_of(pixel) + 11u * blue_of(pixel)) / 100u;
    return luminance < 128;
}

// The picture at cx x cy, each pixel taken from one source pixel (no blending).
Surface scaled(const Surface& image, int cx, int cy)
{
    if (cx == image.width() && cy == image.height())
        return image;
    Surface out(cx, cy, 0);
    stretch_copy({&out, out.bounds(), nullptr}, {0, 0, cx, cy}, image, {0, 0, image.width(), image.height()});
    return out;
}

template<class F> void for_each_pixel(DeviceContext& dc, int64_t x, int64_t y, const Surface& image, F&& f)
{
    Rect cells = clip_rect64(dc.clip_box(), x, y, x + image.width(), y + image.height());
    for (int dy = cells.top; dy < cells.bottom; ++dy) {
        const uint32_t* row = image.scanline(int(dy - y));
        dc.for_each_visible_span(dy, cells.left, cells.right, [&](int x0, int x1) {
            uint32_t* out = dc.surface()->scanline(dy);
            for (int dx = x0; dx < x1; ++dx)
                f(out[dx], row[dx - x]);
        });
    }
}

void draw_picture(DeviceContext& dc, int64_t x, int64_t y, const Surface& image, Picture kind)
{
    for_each_pixel(dc, x, y, image, [kind](uint32_t& out, uint32_t pixel) {
        if (kind == Picture::Bitmap || alpha_of(pixel) != 0)
            out = without_alpha(pixel);
    });
}

void draw_foreground(DeviceContext& dc, int64_t x, int64_t y, const Surface& image, Picture kind, Color color)
{
    for_each_pixel(dc, x, y, image, [kind, color](uint32_t& out, uint32_t pixel) {
        if (is_foreground(pixel, kind))
            out = color;
    });
}

bool resolve_size(const Surface& image, int& cx, int& cy)
{
    if (cx == 0)
        cx = image.width();
    if (cy == 0)
        cy = image.height();
    return cx > 0 && cy > 0 && cx <= max_picture_side && cy <= max_picture_side;
}

} // namespace

BOOL DrawStateA(
    HDC dc, HBRUSH brush, DRAWSTATEPROC, LPARAM data, WPARAM, int x, int y, int cx, int cy, UINT flags)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    UINT type = flags & 0xF;
    const Surface* image = nullptr;
    Picture kind;
    if (type == DST_ICON) {
        image = SurfaceOfIcon(handle_from_value<HICON>(uintptr_t(data)));
        kind = Picture::Icon;
    } else if (type == DST_BITMAP) {
        image = SurfaceOfBitmap(handle_from_value<HBITMAP>(uintptr_t(data)));
        kind = Picture::Bitmap;
    } else {
        return FALSE;
    }
    if (!image || !resolve_size(*image, cx, cy))
        return FALSE;
    if (!context->surface())
        return TRUE;

    Surface picture = scaled(*image, cx, cy);
    int64_t dx = int64_t(x) + context->origin.x;
    int64_t dy = int64_t(y) + context->origin.y;
    if (flags & DSS_DISABLED) {
        draw_foreground(*context, dx + 1, dy + 1, picture, kind, GetSysColor(COLOR_3DHILIGHT));
        draw_foreground(*context, dx, dy, picture, kind, GetSysColor(COLOR_3DSHADOW));
    } else if (flags & DSS_MONO) {
        std::optional<Color> color = brush ? brush_color(brush) : std::optional<Color>(0x000000);
        if (!color)
            return FALSE;
        draw_foreground(*context, dx, dy, picture, kind, *color);
    } else {
        draw_picture(*context, dx, dy, picture, kind);
    }
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT)
{
    DeviceContext* context = dc_from_handle(dc);
    const Surface* image = SurfaceOfIcon(icon);
    if (!context || !image || !resolve_size(*image, cx, cy))
        return FALSE;
    if (!context->surface())
        return TRUE;
    draw_picture(*context, int64_t(x) + context->origin.x, int64_t(y) + context->origin.y,
        scaled(*image, cx, cy), Picture::Icon);
    return TRUE;
}

} // namespace sorrel::gdi
