#pragma once

// Block transfers between surfaces with the pixel mapping of the Windows DIB engine:
// same-size copies and COLORONCOLOR stretching, where each destination pixel takes the colour
// of exactly one source pixel, chosen by Bresenham stepping along each axis.

#include "platform/gdi/Bresenham.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

#include <optional>

namespace sorrel::gdi {

// A rectangle given by origin and signed size, in device pixels; a negative size mirrors.
struct BlitCoords {
    int64_t x {0};
    int64_t y {0};
    int64_t width {0};
    int64_t height {0};
};

struct BlitTarget {
    Surface* surface {nullptr};
    // Device pixels drawing may touch (the surface bounds narrowed by the clip box).
    Rect visible;
    // Finer clipping, if any.
    const Region* clip {nullptr};
};

// Copies `src_coords` of `source` onto `dst_coords` of the target, stretching or shrinking as
// needed. Only source pixels inside `source` are used; destination pixels with no source
// pixel keep their colour. The source is read completely before anything is written, so source
// and target may be the same surface.
void stretch_copy(
    const BlitTarget& target, BlitCoords dst_coords, const Surface& source, BlitCoords src_coords);

} // namespace sorrel::gdi
