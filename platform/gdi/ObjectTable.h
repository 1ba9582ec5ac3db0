#pragma once

// The handle table behind every HGDIOBJ, HDC and HICON. Each object lives in a slot; its handle
// carries the slot index and a generation number, so that a handle to a deleted object (even
// after its slot was reused) is recognised as stale and refused. Lookup is O(1).
//
// Other modules register their own objects (the text module its fonts) by subclassing GdiObject
// with the matching kind and calling register_object().

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <memory>

namespace sorrel::gdi {

enum class ObjectKind : uint8_t {
    Pen = 1,
    Brush,
    Font,
    Region,
    Bitmap,
    Icon,
    DeviceContext,
};

class GdiObject {
public:
    explicit GdiObject(ObjectKind kind)
        : m_kind(kind)
    { }
    virtual ~GdiObject();
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return m_kind; }

private:
    ObjectKind m_kind;
};

// The raw value of a handle of any type.
template<class Handle> uintptr_t handle_value(Handle handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}
template<class Handle> Handle handle_from_value(uintptr_t value)
{
    return reinterpret_cast<Handle>(value);
}

// Takes ownership and returns the new object's handle (0 when the table is full).
uintptr_t register_object_value(std::unique_ptr<GdiObject> object);
// A stock object: never counted as live, never deleted by DeleteObject.
uintptr_t register_stock_object_value(std::unique_ptr<GdiObject> object);

// Typed conveniences: register_object<HFONT>(std::make_unique<FontObject>(...)).
template<class Handle = HGDIOBJ> Handle register_object(std::unique_ptr<GdiObject> object)
{
    return handle_from_value<Handle>(register_object_value(std::move(object)));
}

// The live object behind a handle, or nullptr for null, deleted, stale or foreign values.
GdiObject* lookup_object(uintptr_t value);
bool is_stock_object(uintptr_t value);

// The object behind `handle` if it is of T's kind (T::static_kind), else nullptr.
template<class T, class Handle> T* object_cast(Handle handle)
{
    GdiObject* object = lookup_object(handle_value(handle));
    if (!object || object->kind() != T::static_kind)
        return nullptr;
    return static_cast<T*>(object);
}

// Destroys the object unless it is a stock object. An object still selected into a device
// context is destroyed when the last context lets it go (it stays usable until then).
// Returns false for an invalid handle.
bool release_object(uintptr_t value);

// Device contexts count their selections so that deleting a selected object is deferred.
void retain_selection(uintptr_t value);
void release_selection(uintptr_t value);

// Stock fonts are made on first request by the text module's factory (none: GetStockObject
// returns NULL for fonts, and a DC's font starts as NULL, meaning the default font).
using StockFontFactory = std::unique_ptr<GdiObject> (*)(int stock_index);
void set_stock_font_factory(StockFontFactory factory);
StockFontFactory stock_font_factory();

} // namespace sorrel::gdi
