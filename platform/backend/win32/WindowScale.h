#pragma once

namespace sorrel::backend {

// Window pixels to the form's at `scale` (the window draws the form at a whole-number scale),
// rounding down: a captured pointer left of or above the window has negative pixels.
inline int unscale(int v, int scale)
{
    return v >= 0 ? v / scale : -((-v + scale - 1) / scale);
}

} // namespace sorrel::backend
