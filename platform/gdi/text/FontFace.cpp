#include "platform/gdi/text/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>

namespace sorrel::gdi {

// Windows family bits in the pitch-and-family byte.
static constexpr uint8_t ff_roman = 0x10;
static constexpr uint8_t ff_swiss = 0x20;
static constexpr uint8_t ff_modern = 0x30;
static constexpr uint8_t ff_script = 0x40;
static constexpr uint8_t ff_decorative = 0x50;

// The family class Windows derives from a face's PANOSE classification.
static uint8_t family_from_panose(const TT_OS2* os2, bool fixed_pitch)
{
    if (fixed_pitch)
        return ff_modern;
    if (!os2)
        return 0;
    const FT_Byte* panose = os2->panose;
    switch (panose[0]) { // family kind
    case 2: // Latin text
        if (panose[3] == 9) // monospaced proportion
            return ff_modern;
        // Serif styles 11 to 13 are the sans serif ones (normal, obtuse, perpendicular).
        if (panose[1] >= 11 && panose[1] <= 13)
            return ff_swiss;
        if (panose[1] >= 2)
            return ff_roman;
        return ff_swiss;
    case 3:
        return ff_script;
    case 4:
    case 5:
        return ff_decorative;
    default:
        return ff_swiss;
    }
}

std::shared_ptr<FontFace> FontFace::load(FT_LibraryRec_* library, const FontFile& file)
{
    if (!library)
        return nullptr;
    FT_Face face = nullptr;
    FT_Error error = file.data
        ? FT_New_Memory_Face(library, file.data->data(), FT_Long(file.data->size()), file.index, &face)
        : FT_New_Face(library, file.path.c_str(), file.index, &face);
    if (error != 0 || !face)
        return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || !face->charmap) {
        // Bitmap-only faces and faces without a Unicode map cannot serve arbitrary sizes and text.
        FT_Done_Face(face);
        return nullptr;
    }
    return std::shared_ptr<FontFace>(new FontFace(face, file));
}

FontFace::FontFace(FT_FaceRec_* face, FontFile file)
    : m_face(face)
    , m_file(std::move(file))
{
    if (face->family_name)
        m_family_name = face->family_name;

    DesignMetrics& d = m_design;
    d.units_per_em = face->units_per_EM;
    d.hhea_ascent = face->ascender;
    d.hhea_descent = -face->descender;
    d.hhea_line_gap = std::max(0, face->height - face->ascender + face->descender);
    d.max_char_width = face->bbox.xMax - face->bbox.xMin;
    d.fixed_pitch = FT_IS_FIXED_WIDTH(face);
    d.scalable = FT_IS_SCALABLE(face);
    d.truetype = FT_IS_SFNT(face);
    d.italic = face->style_flags & FT_STYLE_FLAG_ITALIC;
    d.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
    d.underline_position = face->underline_position;
    d.underline_thickness = face->underline_thickness;

    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        d.win_ascent = os2->usWinAscent;
        d.win_descent = os2->usWinDescent;
        d.average_char_width = os2->xAvgCharWidth;
        if (os2->usWeightClass > 0)
            d.weight = os2->usWeightClass;
        d.strikeout_position = os2->yStrikeoutPosition;
        d.strikeout_thickness = os2->yStrikeoutSize;
    }
    if (d.win_ascent + d.win_descent <= 0) {
        // No usable OS/2 table: the horizontal header is the next best vertical extent.
        d.win_ascent = std::max(1, d.hhea_ascent);
        d.win_descent = std::max(0, d.hhea_descent);
    }
    if (d.average_char_width <= 0)
        d.average_char_width = d.units_per_em / 2;
    if (d.strikeout_thickness <= 0) {
        d.strikeout_thickness = std::max(1, d.underline_thickness);
        d.strikeout_position = d.win_ascent / 3;
    }
    if (d.underline_thickness <= 0)
        d.underline_thickness = std::max(1, d.units_per_em / 20);
    d.family_bits = family_from_panose(os2 && os2->version != 0xFFFF ? os2 : nullptr, d.fixed_pitch);
}

FontFace::~FontFace()
{
    FT_Done_Face(m_face);
}

} // namespace sorrel::gdi
