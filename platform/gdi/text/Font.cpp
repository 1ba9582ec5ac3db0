#include "platform/gdi/text/Font.h"

#include "platform/gdi/text/Cp1252.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace sorrel::gdi {

static constexpr int default_cell_height = 16;
// Larger sizes are drawn at this size: a glyph bitmap beyond it would only cost memory.
static constexpr int max_ppem = 1024;

static int scaled(int units, int ppem, int units_per_em)
{
    return int(std::lround(double(units) * ppem / units_per_em));
}

int Font::ppem_for_height(const DesignMetrics& design, int height)
{
    int64_t ppem;
    if (height < 0) {
        ppem = -int64_t(height);
    } else {
        int64_t cell = height == 0 ? default_cell_height : height;
        int64_t extent = std::max(1, design.win_ascent + design.win_descent);
        ppem = (cell * design.units_per_em + extent / 2) / extent;
    }
    return int(std::clamp<int64_t>(ppem, 1, max_ppem));
}

std::shared_ptr<Font> Font::create(std::shared_ptr<FontFace> face, int height)
{
    if (!face)
        return nullptr;
    FT_Face ft_face = face->ft_face();
    FT_Size size = nullptr;
    if (FT_New_Size(ft_face, &size) != 0)
        return nullptr;
    int ppem = ppem_for_height(face->design(), height);
    if (FT_Activate_Size(size) != 0 || FT_Set_Pixel_Sizes(ft_face, 0, FT_UInt(ppem)) != 0) {
        FT_Done_Size(size);
        return nullptr;
    }
    return std::shared_ptr<Font>(new Font(std::move(face), size, ppem));
}

Font::Font(std::shared_ptr<FontFace> face, FT_SizeRec_* size, int ppem)
    : m_face(std::move(face))
    , m_size(size)
{
    const DesignMetrics& d = m_face->design();
    const int upem = d.units_per_em;
    FontMetrics& m = m_metrics;
    m.ppem = ppem;
    m.ascent = scaled(d.win_ascent, ppem, upem);
    m.descent = scaled(d.win_descent, ppem, upem);
    m.height = m.ascent + m.descent;
    m.internal_leading = std::max(0, m.height - ppem);
    int win_extent = d.win_ascent + d.win_descent;
    int hhea_extent = d.hhea_ascent + d.hhea_descent;
    m.external_leading = std::max(0, scaled(d.hhea_line_gap - (win_extent - hhea_extent), ppem, upem));
    m.average_char_width = std::max(1, scaled(d.average_char_width, ppem, upem));
    m.max_char_width = std::max(m.average_char_width, scaled(d.max_char_width, ppem, upem));
    m.weight = d.weight;
    m.italic = d.italic;
    m.pitch_and_family = d.family_bits;
    if (!d.fixed_pitch)
        m.pitch_and_family |= tmpf_variable_pitch;
    if (d.scalable)
        m.pitch_and_family |= tmpf_vector;
    if (d.truetype)
        m.pitch_and_family |= tmpf_truetype;

    // Both lines are placed by their centre, the underline below the baseline and the strike-out
    // above it, and are at least one row thick.
    m.underline_thickness = std::max(1, scaled(d.underline_thickness, ppem, upem));
    m.underline_offset = scaled(-d.underline_position, ppem, upem) - m.underline_thickness / 2;
    m.strikeout_thickness = std::max(1, scaled(d.strikeout_thickness, ppem, upem));
    m.strikeout_offset = -scaled(d.strikeout_position, ppem, upem) - m.strikeout_thickness / 2;

    m_advances.fill(0);
}

Font::~Font()
{
    FT_Done_Size(m_size);
}

// Copies FreeType's bitmap of the loaded glyph into an upright coverage bitmap.
static void copy_bitmap(const FT_Bitmap& bitmap, Glyph& glyph)
{
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    if (glyph.is_empty() || !bitmap.buffer) {
        glyph.width = glyph.height = 0;
        return;
    }
    glyph.allocate(glyph.width, glyph.height);
    const int stride = std::abs(bitmap.pitch);
    for (int y = 0; y < glyph.height; ++y) {
        // A negative pitch stores the rows bottom first.
        int source_row = bitmap.pitch < 0 ? glyph.height - 1 - y : y;
        const uint8_t* row = bitmap.buffer + size_t(source_row) * size_t(stride);
        uint8_t* out = glyph.row(y);
        switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_GRAY: {
            int levels = std::max(2, int(bitmap.num_grays));
            for (int x = 0; x < glyph.width; ++x)
                out[x] = levels == 256 ? row[x] : uint8_t(row[x] * 255 / (levels - 1));
            break;
        }
        case FT_PIXEL_MODE_MONO:
            for (int x = 0; x < glyph.width; ++x)
                out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            break;
        default:
            break;
        }
    }
}

void Font::load(uint8_t ch)
{
    m_loaded[ch] = true;
    if (!m_glyph_sets[0])
        m_glyph_sets[0] = std::make_unique<GlyphSet>();
    GlyphSet& upright = *m_glyph_sets[0];
    upright.ready[ch] = true;

    FT_Face face = m_face->ft_face();
    if (FT_Activate_Size(m_size) != 0)
        return;
    FT_UInt index = FT_Get_Char_Index(face, FT_ULong(cp1252_to_unicode(ch)));
    // A character the face lacks shows as its missing-glyph box, as on Windows.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0)
        return;
    FT_GlyphSlot slot = face->glyph;
    m_advances[ch] = int((slot->advance.x + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return;
    Glyph& glyph = upright.glyphs[ch];
    copy_bitmap(slot->bitmap, glyph);
    glyph.dx = slot->bitmap_left;
    glyph.dy = m_metrics.ascent - slot->bitmap_top;
}

int Font::advance(uint8_t ch)
{
    if (!m_loaded[ch])
        load(ch);
    return m_advances[ch];
}

int Font::text_width(std::string_view text)
{
    int64_t width = 0;
    for (char c : text)
        width += advance(static_cast<uint8_t>(c));
    return int(std::min<int64_t>(width, INT_MAX));
}

// The upright glyph turned a quarter, half or three-quarter turn, pixel for pixel.
static Glyph rotated(const Glyph& upright, Rotation rotation)
{
    Glyph out;
    if (upright.is_empty())
        return out;
    auto first = rotate_pixel(rotation, upright.dx, upright.dy);
    auto last = rotate_pixel(rotation, upright.dx + upright.width - 1, upright.dy + upright.height - 1);
    out.dx = std::min(first.dx, last.dx);
    out.dy = std::min(first.dy, last.dy);
    out.allocate(std::abs(last.dx - first.dx) + 1, std::abs(last.dy - first.dy) + 1);
    for (int y = 0; y < upright.height; ++y) {
        for (int x = 0; x < upright.width; ++x) {
            auto p = rotate_pixel(rotation, upright.dx + x, upright.dy + y);
            out.row(p.dy - out.dy)[p.dx - out.dx] = upright.at(x, y);
        }
    }
    return out;
}

const Glyph& Font::glyph(uint8_t ch, Rotation rotation)
{
    if (!m_loaded[ch])
        load(ch);
    const Glyph& upright = m_glyph_sets[0]->glyphs[ch];
    auto slot = static_cast<size_t>(rotation);
    if (slot == 0)
        return upright;
    if (!m_glyph_sets[slot])
        m_glyph_sets[slot] = std::make_unique<GlyphSet>();
    GlyphSet& set = *m_glyph_sets[slot];
    if (!set.ready[ch]) {
        set.glyphs[ch] = rotated(upright, rotation);
        set.ready[ch] = true;
    }
    return set.glyphs[ch];
}

} // namespace sorrel::gdi
