#pragma once

#include "platform/gdi/text/FontFace.h"
#include "platform/gdi/text/FontMetrics.h"
#include "platform/gdi/text/Glyph.h"
#include "platform/gdi/text/Rotation.h"

#include <array>
#include <memory>
#include <string_view>

struct FT_SizeRec_;

namespace sorrel::gdi {

// A face at one pixel size: its metrics, its hinted advance widths and its rendered glyphs, all
// cached for the single-byte characters it is asked for.
class Font {
public:
    // `height` follows the Windows rule: negative asks for that character height (pixels per
    // em), positive for that cell height (ascent + descent), zero for a default cell of 16.
    static std::shared_ptr<Font> create(std::shared_ptr<FontFace>, int height);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontMetrics& metrics() const { return m_metrics; }
    const FontFace& face() const { return *m_face; }

    // Hinted advance widths in whole pixels; a line's width is the plain sum (no kerning).
    int advance(uint8_t ch);
    int text_width(std::string_view text);

    const Glyph& glyph(uint8_t ch, Rotation);

    static int ppem_for_height(const DesignMetrics&, int height);

private:
    Font(std::shared_ptr<FontFace>, FT_SizeRec_*, int ppem);
    void load(uint8_t ch);

    struct GlyphSet {
        std::array<bool, 256> ready {};
        std::array<Glyph, 256> glyphs;
    };

    std::shared_ptr<FontFace> m_face;
    FT_SizeRec_* m_size {nullptr};
    FontMetrics m_metrics;
    std::array<int, 256> m_advances;
    std::array<bool, 256> m_loaded {};
    std::array<std::unique_ptr<GlyphSet>, 4> m_glyph_sets; // by Rotation
};

} // namespace sorrel::gdi
