#pragma once

// The handle table behind every HGDIOBJ, HDC and HICON. Each object lives in a slot; its handle
// carries the slot index and a generation number, so that a handle to a deleted object (even
// after its slot was reused) is recognised as stale and refused. Lookup is O(1) and inline.
//
// Other modules register their own objects (the text module its fonts) by subclassing GdiObject
// with the matching kind and calling register_object(). The layer serves one thread.

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

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
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return m_kind; }
    // The object's handle value (0 until registered).
    uintptr_t handle() const { return m_handle; }
    bool is_stock() const { return m_stock; }
    // How many device contexts have the object selected.
    uint32_t selection_count() const { return m_selections; }

private:
    friend class ObjectTable;

    ObjectKind m_kind;
    bool m_stock {false};
    bool m_delete_pending {false};
    uint32_t m_selections {0};
    uintptr_t m_handle {0};
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

class ObjectTable {
public:
    static ObjectTable& the()
    {
        static ObjectTable table;
        return table;
    }
    ~ObjectTable();

    // Takes ownership; returns the handle value, or 0 when the table is full.
    uintptr_t add(std::unique_ptr<GdiObject> object, bool stock);

    GdiObject* lookup(uintptr_t value) const
    {
        uintptr_t index = value & index_mask;
        if (index == 0 || index > m_slots.size())
            return nullptr;
        const Slot& slot = m_slots[index - 1];
        return (value >> index_bits) == slot.generation ? slot.object : nullptr;
    }

    // Destroys the object unless it is a stock object; while it is selected into a device
    // context, destruction waits for the last context to let it go.
    void release(GdiObject* object);
    void retain_selection(GdiObject* object) { ++object->m_selections; }
    void release_selection(GdiObject* object)
    {
        if (m_closing || object->m_selections == 0)
            return;
        if (--object->m_selections == 0 && object->m_delete_pending)
            destroy(object);
    }

    size_t live() const { return m_live; }

private:
    // Handle layout: bits 0..19 hold the slot index + 1 (so 0 is never a valid handle), bits
    // 20..29 a generation that changes on every reuse of the slot. Values stay below 2^30, so
    // they survive a round trip through a signed 32-bit integer.
    static constexpr unsigned index_bits = 20;
    static constexpr uintptr_t index_mask = (uintptr_t(1) << index_bits) - 1;

    struct Slot {
        GdiObject* object {nullptr}; // owned
        uintptr_t generation {1};
    };

    ObjectTable() = default;
    void destroy(GdiObject* object);

    std::vector<Slot> m_slots;
    std::deque<uint32_t> m_free;
    size_t m_live {0};
    // Set while the table itself goes away at exit: objects are then freed without bookkeeping.
    bool m_closing {false};
};

// Takes ownership and returns the new object's handle value (0 when the table is full).
uintptr_t register_object_value(std::unique_ptr<GdiObject> object);
// A stock object: never counted as live, never deleted by DeleteObject.
uintptr_t register_stock_object_value(std::unique_ptr<GdiObject> object);

// Typed conveniences: register_object<HFONT>(std::make_unique<FontObject>(...)).
template<class Handle = HGDIOBJ> Handle register_object(std::unique_ptr<GdiObject> object)
{
    return handle_from_value<Handle>(register_object_value(std::move(object)));
}

// The live object behind a handle, or nullptr for null, deleted, stale or foreign values.
inline GdiObject* lookup_object(uintptr_t value)
{
    return ObjectTable::the().lookup(value);
}
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
