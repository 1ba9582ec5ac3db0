#pragma once

// One-pixel solid lines in device coordinates, with the pixel choice of the Windows DIB engine:
// Bresenham stepping with a tie bias that depends on the octant, the end point excluded, and
// clipping computed analytically so that a clipped line lights exactly the pixels the unclipped
// line would, however far away its ends lie.

#include "platform/gdi/Bresenham.h"
#include "platform/gdi/Color.h"

#include <cstdint>

namespace sorrel::gdi {

class DeviceContext;

void stroke_line(DeviceContext& dc, Point64 from, Point64 to, Color color);

} // namespace sorrel::gdi
