#pragma once

// The handle table behind every HGDIOBJ, HDC and HICON. Each object lives in a slot; its handle
// carries the slot index and a generation number, so that a handle to a deleted object (even
// after its slot was reused) is recognised as stale and refused. Lookup is O(1) and inline.
//
// Other modules register their own objects (the text module its fonts) by subclassing GdiObject
// with the matching kind and calling register_object(). The layer serves one thread.

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <memory>
#include <type_traits>
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
    static ObjectTable& the();

    // Takes ownership; returns the handle value, or 0 (the object then destroyed) when the table
    // is full.
    uintptr_t add(GdiObject* object, bool stock)
    {
        uint32_t index;
        if (m_free_count > reuse_after) {
            index = m_free_head;
            m_free_head = m_slots[index].next_free;
            --m_free_count;
        } else if (!grow(index)) {
            dispose(object);
            return 0;
        }
        Slot& slot = m_slots[index];
        slot.object = object;
        slot.stamp = (slot.stamp & ~kind_mask) | uint32_t(object->m_kind);
        object->m_stock = stock;
        object->m_handle = (uintptr_t(slot.stamp >> kind_bits) << index_bits) | (index + 1);
        m_live += stock ? 0 : 1;
        return object->m_handle;
    }
    uintptr_t add(std::unique_ptr<GdiObject> object, bool stock)
    {
        return object ? add(object.release(), stock) : 0;
    }

    // The live object behind a handle value, or nullptr.
    GdiObject* lookup(uintptr_t value) const
    {
        const Slot* slot = slot_of(value);
        return slot && (slot->stamp >> kind_bits) == (value >> index_bits) ? slot->object : nullptr;
    }
    // The same, only when the object is of `kind`: one comparison checks generation and kind.
    GdiObject* lookup(uintptr_t value, ObjectKind kind) const
    {
        const Slot* slot = slot_of(value);
        return slot && slot->stamp == (((value >> index_bits) << kind_bits) | uintptr_t(kind)) ? slot->object
                                                                                               : nullptr;
    }

    // Destroys the object unless it is a stock object; while it is selected into a device
    // context, destruction waits for the last context to let it go. Called with the object's
    // final type (a pen, a brush), the object is deleted without a virtual call.
    template<class T> void release(T* object)
    {
        if (object->m_stock)
            return;
        if (object->m_selections > 0) {
            object->m_delete_pending = true;
            return;
        }
        vacate(object);
        // Last, as destroying a device context releases its selections, which re-enters the table.
        if constexpr (std::is_final_v<T>)
            delete object;
        else
            dispose(object);
    }
    void retain_selection(GdiObject* object) { ++object->m_selections; }
    void release_selection(GdiObject* object)
    {
        if (object->m_selections == 0)
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
    static constexpr uint32_t max_slots = uint32_t(index_mask) - 1;
    static constexpr uint32_t generation_count = 0x3FF;
    // Freed slots are reused only once this many wait, oldest first, so that a stale handle
    // rarely meets its slot's generation again.
    static constexpr uint32_t reuse_after = 64;

    // A slot's stamp holds its generation above the kind of the object in it (0 when empty).
    static constexpr unsigned kind_bits = 8;
    static constexpr uint32_t kind_mask = (1u << kind_bits) - 1;

    struct Slot {
        GdiObject* object {nullptr}; // owned
        uint32_t stamp {1u << kind_bits};
        // The next slot in the queue of free slots.
        uint32_t next_free {0};
    };

    friend union ObjectTableHolder;
    constexpr ObjectTable() = default;

    const Slot* slot_of(uintptr_t value) const
    {
        // A zero index wraps around to a huge one and fails the bounds check too.
        uintptr_t index = (value & index_mask) - 1;
        return index < m_size ? &m_slots[index] : nullptr;
    }
    // Appends a fresh slot, or takes the oldest free one when the table is at its size limit.
    bool grow(uint32_t& index);
    // Empties the object's slot (its handle goes stale) and queues the slot for reuse.
    void vacate(const GdiObject* object)
    {
        uint32_t index = uint32_t((object->m_handle & index_mask) - 1);
        Slot& slot = m_slots[index];
        uint32_t generation = slot.stamp >> kind_bits;
        slot.object = nullptr;
        slot.stamp = (generation == generation_count ? 1 : generation + 1) << kind_bits;
        m_live -= object->m_stock ? 0 : 1;
        if (m_free_count == 0)
            m_free_head = index;
        else
            m_slots[m_free_tail].next_free = index;
        m_free_tail = index;
        ++m_free_count;
    }
    void destroy(GdiObject* object);
    static void dispose(GdiObject* object);

    std::vector<Slot> m_slots;
    // m_slots.size(), kept apart so that a lookup reads one word for the bounds check.
    size_t m_size {0};
    uint32_t m_free_head {0};
    uint32_t m_free_tail {0};
    uint32_t m_free_count {0};
    size_t m_live {0};
};

// The one table, never destroyed: objects may still be released by other modules' static
// destructors, so the table and everything in it stay until the process ends. Being constant
// initialised, it needs no first-use check on every lookup.
union ObjectTableHolder {
    ObjectTable table;
    constexpr ObjectTableHolder()
        : table()
    { }
    ~ObjectTableHolder() { }
};
inline constinit ObjectTableHolder s_object_table;

inline ObjectTable& ObjectTable::the()
{
    return s_object_table.table;
}

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
    return static_cast<T*>(ObjectTable::the().lookup(handle_value(handle), T::static_kind));
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
