#pragma once

#include "platform/gdi/text/FontResolver.h"

#include <memory>
#include <string>

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace sorrel::gdi {

// The design metrics of a face in font units, read once from its OS/2, hhea and post tables;
// each sized font scales them.
struct DesignMetrics {
    int units_per_em {2048};
    int win_ascent {0};
    int win_descent {0};
    int hhea_ascent {0};
    int hhea_descent {0}; // positive, below the baseline
    int hhea_line_gap {0};
    int average_char_width {0};
    int max_char_width {0};
    int weight {400};
    bool italic {false};
    bool fixed_pitch {false};
    bool scalable {true};
    bool truetype {true};
    uint8_t family_bits {0}; // FF_ROMAN, FF_SWISS, FF_MODERN... in the high nibble
    int underline_position {0}; // negative below the baseline
    int underline_thickness {0};
    int strikeout_position {0};
    int strikeout_thickness {0};
};

// One loaded font file. The sized fonts made from it share its FreeType face, each with a size
// object of its own.
class FontFace {
public:
    static std::shared_ptr<FontFace> load(FT_LibraryRec_* library, const FontFile& file);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    FT_FaceRec_* ft_face() const { return m_face; }
    const DesignMetrics& design() const { return m_design; }
    const std::string& family_name() const { return m_family_name; }
    const FontFile& file() const { return m_file; }

private:
    FontFace(FT_FaceRec_* face, FontFile file);

    FT_FaceRec_* m_face {nullptr};
    FontFile m_file; // holds a memory face's bytes until the face is done
    std::string m_family_name;
    DesignMetrics m_design;
};

} // namespace sorrel::gdi
