#pragma once

#include <cstdint>

namespace sorrel::gdi {

// The metrics of a sized font in whole pixels, as Windows reports them for an outline font.
struct FontMetrics {
    int ppem {0}; // character height: pixels per em
    int ascent {0}; // from the OS/2 Windows ascent
    int descent {0}; // from the OS/2 Windows descent
    int height {0}; // ascent + descent: the cell height
    int internal_leading {0}; // height - ppem
    int external_leading {0};
    int average_char_width {0};
    int max_char_width {0};
    int weight {400};
    bool italic {false};
    uint8_t pitch_and_family {0};
    // The decoration lines: the offset of their top row from the baseline (the first row below
    // the glyphs), positive downwards, and their thickness in rows.
    int underline_offset {1};
    int underline_thickness {1};
    int strikeout_offset {-3};
    int strikeout_thickness {1};
};

// Bits of the pitch-and-family byte.
inline constexpr uint8_t tmpf_variable_pitch = 0x01; // named "fixed pitch", but set for variable pitch
inline constexpr uint8_t tmpf_vector = 0x02;
inline constexpr uint8_t tmpf_truetype = 0x04;
inline constexpr uint8_t tmpf_device = 0x08;

} // namespace sorrel::gdi
