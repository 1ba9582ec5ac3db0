#pragma once

#include "platform/gdi/Color.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/text/Font.h"

#include <optional>
#include <span>
#include <string_view>

namespace sorrel::gdi {

class CoverageBlend;

struct TextStyle {
    Color color {0};
    Rotation rotation {Rotation::None};
    bool underline {false};
    bool strike_out {false};
    // Filled behind the character cells first when set; otherwise the background shows through.
    std::optional<Color> background;
};

// Draws single-byte text on a surface, clipped to a rectangle or to a set of disjoint rectangles
// (a clip region). The reference point is the top-left
// corner of the first character cell in the text's own, possibly rotated, frame: upright text
// has its baseline at y + ascent; text reading upwards fills the columns x to x + height - 1 and
// the rows above y; text reading downwards fills the columns x - height to x - 1 and the rows
// from y down. Glyph coverage is blended over the existing pixels in the text colour.
class TextPainter {
public:
    TextPainter(Surface&, const Rect& clip);
    // `clip_rects` must not overlap, and must outlive the painter.
    TextPainter(Surface&, std::span<const Rect> clip_rects);
    explicit TextPainter(Surface& surface)
        : TextPainter(surface, surface.bounds())
    { }

    void draw_text(Font&, Point reference, std::string_view text, const TextStyle&);

private:
    // Fills the rectangle [u0, u1) x [v0, v1) of the text frame.
    void fill_text_rect(Point reference, Rotation, int u0, int v0, int u1, int v1, Color);
    void blend_glyph(const Glyph&, int x, int y, const CoverageBlend&);
    template<class F> void for_each_clip_part(const Rect& area, F&& part);

    Surface& m_surface;
    Rect m_clip; // the bounds of everything drawable
    std::span<const Rect> m_clip_rects; // empty when m_clip alone is the clip
};

} // namespace sorrel::gdi
