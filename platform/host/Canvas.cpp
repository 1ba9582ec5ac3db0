#include "platform/host/Canvas.h"

#include "platform/host/Host.h"

#include <algorithm>
#include <cmath>

namespace sorrel::host {

gdi::Color resolve_color(gdi::Color color)
{
    if (color & 0x80000000u)
        return gdi::GetSysColor(int(color & 0xFF));
    return color & 0x00FFFFFF;
}

Canvas::Canvas()
{
    m_dc = gdi::CreateSurfaceDC(m_pixels);
    gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
    gdi::SetTextColor(m_dc, m_fore_color);
    gdi::SetBkColor(m_dc, m_back_color);
}

Canvas::~Canvas()
{
    m_font_subscription.reset();
    gdi::DeleteDC(m_dc);
    if (m_selected_font)
        gdi::DeleteObject(m_selected_font);
}

void Canvas::resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_pixels.width() && height == m_pixels.height())
        return;
    gdi::Surface resized(width, height, back_pixel());
    int w = std::min(width, m_pixels.width());
    int h = std::min(height, m_pixels.height());
    for (int y = 0; y < h; ++y)
        std::copy(m_pixels.scanline(y), m_pixels.scanline(y) + w, resized.scanline(y));
    // Same Surface object, new pixels: the device context keeps drawing on it.
    m_pixels = std::move(resized);
}

void Canvas::Cls()
{
    m_pixels.fill(back_pixel());
    m_current_x = 0;
    m_current_y = 0;
}

void Canvas::ForeColor(gdi::Color color)
{
    m_fore_color = color;
    gdi::SetTextColor(m_dc, resolve_color(color));
}

void Canvas::BackColor(gdi::Color color)
{
    m_back_color = color;
    gdi::SetBkColor(m_dc, resolve_color(color));
    Cls();
}

void Canvas::Font(FontRef font)
{
    if (font == m_font)
        return;
    m_font = std::move(font);
    m_font_subscription.reset();
    if (m_font)
        m_font_subscription = m_font->subscribe([this](const std::string&) { select_font(); });
    select_font();
}

void Canvas::select_font()
{
    gdi::HFONT made = nullptr;
    if (m_font) {
        Host* host = Host::current_or_null();
        gdi::LOGFONTA lf = m_font->to_logfont(host ? host->TwipsPerPixelY() : 15);
        made = gdi::CreateFontIndirectA(&lf);
    }
    // Without a font object the DC goes back to the stock font, so that the font made before is
    // no longer selected when it is deleted below.
    gdi::SelectObject(m_dc, made ? gdi::HGDIOBJ(made) : gdi::GetStockObject(gdi::SYSTEM_FONT));
    if (m_selected_font)
        gdi::DeleteObject(m_selected_font);
    m_selected_font = made;
}

void Canvas::Print(std::string_view text, bool new_line)
{
    int x = int(std::lround(m_current_x));
    int y = int(std::lround(m_current_y));
    int old_mode = gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
    gdi::TextOutA(m_dc, x, y, text.data(), int(text.size()));
    gdi::SetBkMode(m_dc, old_mode);
    gdi::SIZE size {};
    if (!gdi::GetTextExtentPoint32A(
            m_dc, text.empty() ? " " : text.data(), text.empty() ? 1 : int(text.size()), &size))
        size = {0, 0};
    if (new_line) {
        m_current_x = 0;
        m_current_y += float(size.cy);
    } else {
        m_current_x += float(text.empty() ? 0 : size.cx);
    }
}

static uint32_t blend_pixel(uint32_t dst, uint32_t src)
{
    uint32_t a = src >> 24;
    if (a == 0xFF)
        return src & 0x00FFFFFF;
    if (a == 0)
        return dst;
    auto mix = [&](int shift) {
        uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        return ((s * a + d * (255 - a) + 127) / 255) << shift;
    };
    return mix(0) | mix(8) | mix(16);
}

void Canvas::PaintPicture(const PictureRef& picture, float x, float y, std::optional<float> w,
    std::optional<float> h, float sx, float sy, std::optional<float> sw, std::optional<float> sh)
{
    if (!picture)
        return;
    const gdi::Surface& src = picture->pixels();
    if (src.is_empty())
        return;
    double dst_x = x, dst_y = y;
    double dst_w = w.value_or(float(src.width()));
    double dst_h = h.value_or(float(src.height()));
    double src_x = sx, src_y = sy;
    double src_w = sw.value_or(float(src.width()) - sx);
    double src_h = sh.value_or(float(src.height()) - sy);
    if (!std::isfinite(dst_x + dst_y + dst_w + dst_h + src_x + src_y + src_w + src_h))
        return;
    // A negative width or height mirrors, as the Basic runtime's PaintPicture does.
    int dx0 = int(std::lround(dst_x)), dy0 = int(std::lround(dst_y));
    int dw = int(std::lround(dst_w)), dh = int(std::lround(dst_h));
    bool mirror_x = dw < 0, mirror_y = dh < 0;
    if (mirror_x) {
        dx0 += dw;
        dw = -dw;
    }
    if (mirror_y) {
        dy0 += dh;
        dh = -dh;
    }
    if (dw == 0 || dh == 0 || src_w == 0 || src_h == 0)
        return;
    gdi::Rect target = gdi::Rect::from_size(dx0, dy0, dw, dh).intersected(m_pixels.bounds());
    if (target.is_empty())
        return;
    for (int ty = target.top; ty < target.bottom; ++ty) {
        int ry = ty - dy0;
        if (mirror_y)
            ry = dh - 1 - ry;
        int py = int(std::floor(src_y + (ry + 0.5) * src_h / dh));
        if (py < 0 || py >= src.height())
            continue;
        const uint32_t* src_row = src.scanline(py);
        uint32_t* dst_row = m_pixels.scanline(ty);
        for (int tx = target.left; tx < target.right; ++tx) {
            int rx = tx - dx0;
            if (mirror_x)
                rx = dw - 1 - rx;
            int px = int(std::floor(src_x + (rx + 0.5) * src_w / dw));
            if (px < 0 || px >= src.width())
                continue;
            dst_row[tx] = blend_pixel(dst_row[tx], src_row[px]);
        }
    }
}

} // namespace sorrel::host
