#pragma once

// The drawing objects the facade itself creates. Fonts belong to the text module.

#include "platform/base/Sanitizer.h"
#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

#include <cstddef>
#include <new>

namespace sorrel::gdi {

// Pens and brushes come and go once per line or fill drawn; recycling their memory through a
// free list keeps that off the general heap. Like the rest of the layer it serves one thread.
template<class T> class Recycled {
public:
    static void* operator new(std::size_t size)
    {
        if (recycle && size == sizeof(T) && s_free) {
            Block* block = s_free;
            s_free = block->next;
            --s_kept;
            return block;
        }
        return ::operator new(size);
    }
    static void operator delete(void* memory, std::size_t size)
    {
        if (recycle && size == sizeof(T) && s_kept < max_kept) {
            s_free = new (memory) Block {s_free};
            ++s_kept;
            return;
        }
        ::operator delete(memory);
    }

private:
    // The sanitizer build always goes to the heap, so that a use after deletion is caught.
#ifdef SORREL_ADDRESS_SANITIZED
    static constexpr bool recycle = false;
#else
    static constexpr bool recycle = true;
#endif
    static constexpr size_t max_kept = 1024;
    struct Block {
        Block* next;
    };
    // Plain constant-initialised values: never destroyed, so stock objects released during
    // static destruction still find them.
    static inline constinit Block* s_free = nullptr;
    static inline constinit size_t s_kept = 0;
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
