#include "platform/gdi/Bresenham.h"

#include "platform/gdi/Int128.h"

namespace sorrel::gdi {

namespace {

enum Outcode : unsigned {
    OutLeft = 1,
    OutRight = 2,
    OutTop = 4,
    OutBottom = 8,
};

unsigned outcode(Point64 p, const Rect& clip)
{
    unsigned code = 0;
    if (p.x < clip.left)
        code |= OutLeft;
    else if (p.x >= clip.right)
        code |= OutRight;
    if (p.y < clip.top)
        code |= OutTop;
    else if (p.y >= clip.bottom)
        code |= OutBottom;
    return code;
}

// (count * step + offset) / den, truncated. The product can outgrow 64 bits; the quotient is a
// step count along the line and doesn't.
int64_t steps(int64_t count, int64_t step, int64_t offset, int64_t den)
{
    return divide(Int128::product(count, step) + offset, den, Rounding::TowardZero);
}

} // namespace

unsigned octant_mask(int64_t dx, int64_t dy)
{
    int octant;
    if (dy > 0)
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    return octant_bit(octant);
}

// For an x-major line the error after the start pixel satisfies 2dy >= err + bias > 2dy - 2dx.
// Moving the start m columns on, the row advance n is the one integer with
// 0 >= 2m dy - 2n dx + bias - dx > -2dx; the other seven cases follow by symmetry.
//
// Coordinates are 32-bit values plus a 32-bit origin, so every length and offset here fits in
// 64 bits with room to spare. The clip edge being solved for lies between the two ends, so m
// and n never exceed dx and dy: only their products with a length need the wide type.
//
// The four edges' cases stay side by side, where their symmetry can be checked by eye.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
ClipResult clip_bresenham(
    Point64 start, Point64 end, const Rect& clip, const BresenhamLine& line, Point64& p1, Point64& p2)
{
    const int64_t bias = line.bias;
    const int64_t dx = line.dx;
    const int64_t dy = line.dy;
    const int64_t two_dx = 2 * dx;
    const int64_t two_dy = 2 * dy;
    const bool xmajor = line.x_major();
    const bool neg = line.negative_slope();

    p1 = start;
    p2 = end;
    unsigned start_code = outcode(start, clip);
    unsigned end_code = outcode(end, clip);
    bool clipped = false;
    // Each pass settles one side of one end, so a handful of passes always suffices.
    for (int pass = 0; pass < 16; ++pass) {
        if (start_code == 0 && end_code == 0)
            return clipped ? ClipResult::Clipped : ClipResult::Inside;
        if (start_code & end_code)
            return ClipResult::Outside;
        clipped = true;
        int64_t m, n;
        if (start_code & (OutLeft | OutRight)) {
            bool left = start_code & OutLeft;
            m = left ? clip.left - start.x : start.x - clip.right + 1;
            n = xmajor ? steps(m, two_dy, bias + dx - 1, two_dx) : steps(m, two_dy, -bias - dy, two_dx) + 1;
            if (neg)
                n = -n;
            p1.x = left ? clip.left : clip.right - 1;
            p1.y = left ? start.y + n : start.y - n;
            start_code = outcode(p1, clip);
        } else if (start_code & (OutTop | OutBottom)) {
            bool top = start_code & OutTop;
            n = top ? clip.top - start.y : start.y - clip.bottom + 1;
            m = xmajor ? steps(n, two_dx, -bias - dx, two_dy) + 1 : steps(n, two_dx, bias + dy - 1, two_dy);
            if (neg)
                m = -m;
            p1.y = top ? clip.top : clip.bottom - 1;
            p1.x = top ? start.x + m : start.x - m;
            start_code = outcode(p1, clip);
        } else if (end_code & (OutLeft | OutRight)) {
            bool left = end_code & OutLeft;
            m = left ? clip.left - end.x : end.x - clip.right + 1;
            n = xmajor ? steps(m, two_dy, -bias + dx, two_dx) : steps(m, two_dy, bias - dy - 1, two_dx) + 1;
            if (neg)
                n = -n;
            p2.x = left ? clip.left : clip.right - 1;
            p2.y = left ? end.y + n : end.y - n;
            end_code = outcode(p2, clip);
        } else {
            bool top = end_code & OutTop;
            n = top ? clip.top - end.y : end.y - clip.bottom + 1;
            m = xmajor ? steps(n, two_dx, bias - dx - 1, two_dy) + 1 : steps(n, two_dx, -bias + dy, two_dy);
            if (neg)
                m = -m;
            p2.y = top ? clip.top : clip.bottom - 1;
            p2.x = top ? end.x + m : end.x - m;
            end_code = outcode(p2, clip);
        }
    }
    return ClipResult::Outside;
}

} // namespace sorrel::gdi
