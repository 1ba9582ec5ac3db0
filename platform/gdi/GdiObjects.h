#pragma once

// The drawing objects the facade itself creates. Fonts belong to the text module.

#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

namespace sorrel::gdi {

struct PenObject final : GdiObject {
    static constexpr ObjectKind static_kind = ObjectKind::Pen;
    PenObject(int style, int width, Color color)
        : GdiObject(static_kind)
        , style(style)
        , width(width)
        , color(color)
    { }
    int style;
    int width;
    Color color;
};

struct BrushObject final : GdiObject {
    static constexpr ObjectKind static_kind = ObjectKind::Brush;
    // A null (hollow) brush paints nothing.
    BrushObject(Color color, bool hollow = false)
        : GdiObject(static_kind)
        , color(color)
        , hollow(hollow)
    { }
    Color color;
    bool hollow;
};

struct RegionObject final : GdiObject {
    static constexpr ObjectKind static_kind = ObjectKind::Region;
    explicit RegionObject(Region region)
        : GdiObject(static_kind)
        , region(std::move(region))
    { }
    Region region;
};

struct BitmapObject final : GdiObject {
    static constexpr ObjectKind static_kind = ObjectKind::Bitmap;
    explicit BitmapObject(Surface pixels)
        : GdiObject(static_kind)
        , pixels(std::move(pixels))
    { }
    Surface pixels;
};

// An icon's pixels carry alpha in the top byte: 0 is transparent, anything else opaque.
struct IconObject final : GdiObject {
    static constexpr ObjectKind static_kind = ObjectKind::Icon;
    explicit IconObject(Surface pixels)
        : GdiObject(static_kind)
        , pixels(std::move(pixels))
    { }
    Surface pixels;
};

} // namespace sorrel::gdi
