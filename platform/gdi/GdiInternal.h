#pragma once

// Helpers shared by the facade's source files; not part of the public interface.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Rect.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace sorrel::gdi {

inline int saturate(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The half-open 64-bit rectangle [x0, x1) x [y0, y1) intersected with `clip`.
inline Rect clip_rect64(const Rect& clip, int64_t x0, int64_t y0, int64_t x1, int64_t y1)
{
    Rect r {int(std::max<int64_t>(x0, clip.left)), int(std::max<int64_t>(y0, clip.top)),
        int(std::min<int64_t>(x1, clip.right)), int(std::min<int64_t>(y1, clip.bottom))};
    if (r.is_empty())
        return {};
    return r;
}

// The colour a brush paints. As on Windows, the values 1 to 31 passed as a brush mean the system
// colour of index value - 1 (COLOR_BTNFACE + 1 and so on).
inline std::optional<Color> brush_color(HBRUSH brush)
{
    uintptr_t value = handle_value(brush);
    if (value >= 1 && value <= uintptr_t(SYS_COLOR_COUNT))
        return GetSysColor(int(value - 1));
    auto* object = object_cast<BrushObject>(brush);
    if (!object)
        return std::nullopt;
    return object->color;
}

inline bool brush_paints(HBRUSH brush)
{
    auto* object = object_cast<BrushObject>(brush);
    return !object || !object->hollow;
}

} // namespace sorrel::gdi
