#pragma once

// Bresenham stepping shared by lines and stretched copies: the octant of a step direction, the
// tie bias, and clipping of the end points to a rectangle without changing which pixels the
// stepping visits.

#include "platform/gdi/Rect.h"

#include <cstdint>

namespace sorrel::gdi {

struct Point64 {
    int64_t x {0};
    int64_t y {0};
    bool operator==(const Point64&) const = default;
};

// Octants are numbered 1 to 8 clockwise from the positive x axis (y grows downwards); each is
// one bit of the mask, so that the properties below are mask tests.
struct BresenhamLine {
    int64_t dx {0}; // |dx|
    int64_t dy {0}; // |dy|
    int64_t bias {0};
    unsigned octant {0};

    bool x_major() const { return octant & 0x99; }
    bool negative_slope() const { return !(octant & 0x33); }
    bool x_increasing() const { return octant & 0xc3; }
    bool y_increasing() const { return octant & 0x0f; }
    // Lines in octants 3, 5, 6 and 8 resolve exact ties the other way.
    bool biased() const { return octant & 0xb4; }
};

unsigned octant_mask(int64_t dx, int64_t dy);
inline unsigned octant_bit(int octant)
{
    return 1u << (octant - 1);
}

enum class ClipResult {
    Outside,
    Clipped,
    Inside,
};

// Moves the end points onto the first and last pixels of the line that lie inside `clip`. Each
// move solves the Bresenham error inequality for the step count, so no pixel changes. Both ends
// are treated alike; a caller that excludes the end point drops it itself.
ClipResult clip_bresenham(
    Point64 start, Point64 end, const Rect& clip, const BresenhamLine& line, Point64& p1, Point64& p2);

} // namespace sorrel::gdi
