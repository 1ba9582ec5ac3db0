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
    // Rows are padded with no coverage to a multiple of four bytes, so that a row blends in
    // whole groups of four pixels.
    int stride {0};
    std::vector<uint8_t> coverage; // stride * height, row by row

    bool is_empty() const { return width <= 0 || height <= 0; }
    uint8_t at(int x, int y) const { return coverage[size_t(y) * size_t(stride) + size_t(x)]; }
    uint8_t* row(int y) { return coverage.data() + size_t(y) * size_t(stride); }
    // Sizes the bitmap for width x height with every cell empty.
    void allocate(int w, int h)
    {
        width = w;
        height = h;
        stride = (w + 3) & ~3;
        coverage.assign(size_t(stride) * size_t(h), 0);
    }
};

} // namespace sorrel::gdi
