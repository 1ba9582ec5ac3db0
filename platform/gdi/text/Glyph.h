#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sorrel::gdi {

// A rendered glyph, already turned to its drawing direction: an 8-bit coverage bitmap and the
// offset of its top-left pixel from the top of the character cell at the pen position.
struct Glyph {
    int dx {0};
    int dy {0};
    int width {0};
    int height {0};
    std::vector<uint8_t> coverage; // width * height, row by row

    bool is_empty() const { return width <= 0 || height <= 0; }
    uint8_t at(int x, int y) const { return coverage[size_t(y) * size_t(width) + size_t(x)]; }
};

} // namespace sorrel::gdi
