#pragma once

// The drawing objects the facade itself creates. Fonts belong to the text module.

#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

#include <cstddef>
#include <new>
#include <vector>

namespace sorrel::gdi {

// Pens and brushes come and go once per line or fill drawn; recycling their memory through a
// free list keeps that off the general heap. Like the rest of the layer it serves one thread.
template<class T> class Recycled {
public:
    static void* operator new(std::size_t size)
    {
        FreeList& list = free_list();
        if (size == sizeof(T) && !list.blocks.empty()) {
            void* block = list.blocks.back();
            list.blocks.pop_back();
            return block;
        }
        return ::operator new(size);
    }
    static void operator delete(void* block, std::size_t size)
    {
        FreeList& list = free_list();
        if (size == sizeof(T) && list.blocks.size() < 1024) {
            list.blocks.push_back(block);
            return;
        }
        ::operator delete(block);
    }

private:
    struct FreeList {
        std::vector<void*> blocks;
    };
    // Never destroyed: stock objects are released during static destruction, after which the
    // list must still be there to take them.
    static FreeList& free_list()
    {
        static FreeList* list = new FreeList;
        return *list;
    }
};

// The stock one-pixel bitmap a memory DC starts with (not a public stock index).
constexpr int default_bitmap_stock_index = 21;

struct PenObject final : GdiObject, Recycled<PenObject> {
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

struct BrushObject final : GdiObject, Recycled<BrushObject> {
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
