#include "platform/gdi/text/TextPainter.h"

#include "platform/gdi/text/CoverageBlend.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace sorrel::gdi {

TextPainter::TextPainter(Surface& surface, const Rect& clip)
    : m_surface(surface)
    , m_clip(clip.intersected(surface.bounds()))
{ }

TextPainter::TextPainter(Surface& surface, std::span<const Rect> clip_rects)
    : m_surface(surface)
    , m_clip_rects(clip_rects)
{
    Rect bounds;
    for (const Rect& r : clip_rects) {
        if (r.is_empty())
            continue;
        bounds = bounds.is_empty() ? r
                                   : Rect {std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                                       std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    m_clip = bounds.intersected(surface.bounds());
}

// Calls `part(rect)` for each visible piece of `area`.
template<class F> void TextPainter::for_each_clip_part(const Rect& area, F&& part)
{
    Rect visible = area.intersected(m_clip);
    if (visible.is_empty())
        return;
    if (m_clip_rects.empty()) {
        part(visible);
        return;
    }
    for (const Rect& r : m_clip_rects) {
        Rect piece = visible.intersected(r);
        if (!piece.is_empty())
            part(piece);
    }
}

void TextPainter::blend_glyph(const Glyph& glyph, int x, int y, const CoverageBlend& blend)
{
    for_each_clip_part(Rect::from_size(x, y, glyph.width, glyph.height), [&](const Rect& target) {
        const uint8_t* source
            = glyph.coverage.data() + size_t(target.top - y) * size_t(glyph.stride) + size_t(target.left - x);
        // Whole rows take their padding along when the pixels under it are drawable: no coverage
        // leaves those pixels as they are, and the row blends in whole groups of four.
        int count = target.width();
        if (target.left == x && count == glyph.width && m_clip_rects.empty()
            && x + glyph.stride <= m_clip.right)
            count = glyph.stride;
        blend.blend_rows(m_surface.scanline(target.top) + target.left, size_t(m_surface.width()), source,
            size_t(glyph.stride), count, target.height());
    });
}

void TextPainter::fill_text_rect(
    Point reference, Rotation rotation, int u0, int v0, int u1, int v1, Color color)
{
    if (u1 <= u0 || v1 <= v0)
        return;
    auto a = rotate_pixel(rotation, u0, v0);
    auto b = rotate_pixel(rotation, u1 - 1, v1 - 1);
    Rect area {
        std::min(a.dx, b.dx), std::min(a.dy, b.dy), std::max(a.dx, b.dx) + 1, std::max(a.dy, b.dy) + 1};
    for_each_clip_part(area.translated(reference.x, reference.y),
        [&](const Rect& piece) { m_surface.fill_rect(piece, color); });
}

void TextPainter::draw_text(Font& font, Point reference, std::string_view text, const TextStyle& style)
{
    if (m_clip.is_empty() || text.empty())
        return;
    const FontMetrics& metrics = font.metrics();
    // Coordinates far outside any surface would overflow below; such text is never visible.
    constexpr int limit = INT_MAX / 4;
    if (std::abs(reference.x) > limit || std::abs(reference.y) > limit)
        return;
    int width = std::min(font.text_width(text), limit);

    if (style.background)
        fill_text_rect(reference, style.rotation, 0, 0, width, metrics.height, *style.background);

    const CoverageBlend blend(style.color);
    int pen = 0;
    for (char c : text) {
        auto ch = static_cast<uint8_t>(c);
        const Glyph& glyph = font.glyph(ch, style.rotation);
        if (!glyph.is_empty()) {
            auto origin = rotate_advance(style.rotation, pen);
            blend_glyph(glyph, reference.x + origin.dx + glyph.dx, reference.y + origin.dy + glyph.dy, blend);
        }
        pen = std::min(pen + font.advance(ch), limit);
    }

    int baseline = metrics.ascent;
    if (style.underline) {
        int top = baseline + metrics.underline_offset;
        fill_text_rect(
            reference, style.rotation, 0, top, width, top + metrics.underline_thickness, style.color);
    }
    if (style.strike_out) {
        int top = baseline + metrics.strikeout_offset;
        fill_text_rect(
            reference, style.rotation, 0, top, width, top + metrics.strikeout_thickness, style.color);
    }
}

} // namespace sorrel::gdi
