#include "platform/gdi/ObjectTable.h"

#include <utility>

namespace sorrel::gdi {

namespace {

constexpr uintptr_t generation_count = 0x3FF;
// Slots freed are reused only once this many wait, oldest first, so that a stale handle rarely
// meets its slot's generation again.
constexpr size_t reuse_after = 64;

StockFontFactory s_stock_font_factory = nullptr;

} // namespace

ObjectTable::~ObjectTable()
{
    m_closing = true;
    for (Slot& slot : m_slots)
        delete std::exchange(slot.object, nullptr);
}

uintptr_t ObjectTable::add(std::unique_ptr<GdiObject> object, bool stock)
{
    if (!object)
        return 0;
    constexpr size_t max_slots = index_mask - 1;
    size_t index;
    if (!m_free.empty() && (m_free.size() > reuse_after || m_slots.size() >= max_slots)) {
        index = m_free.front();
        m_free.pop_front();
    } else if (m_slots.size() < max_slots) {
        index = m_slots.size();
        m_slots.emplace_back();
    } else {
        return 0;
    }
    Slot& slot = m_slots[index];
    GdiObject* raw = object.release();
    slot.object = raw;
    raw->m_stock = stock;
    raw->m_handle = (slot.generation << index_bits) | (index + 1);
    if (!stock)
        ++m_live;
    return raw->m_handle;
}

void ObjectTable::release(GdiObject* object)
{
    if (object->m_stock || m_closing)
        return;
    if (object->m_selections > 0) {
        object->m_delete_pending = true;
        return;
    }
    destroy(object);
}

void ObjectTable::destroy(GdiObject* object)
{
    size_t index = (object->m_handle & index_mask) - 1;
    Slot& slot = m_slots[index];
    slot.object = nullptr;
    slot.generation = slot.generation == generation_count ? 1 : slot.generation + 1;
    if (!object->m_stock)
        --m_live;
    m_free.push_back(uint32_t(index));
    // Last, as destroying a device context releases its selections, which re-enters the table.
    delete object;
}

uintptr_t register_object_value(std::unique_ptr<GdiObject> object)
{
    return ObjectTable::the().add(std::move(object), false);
}

uintptr_t register_stock_object_value(std::unique_ptr<GdiObject> object)
{
    return ObjectTable::the().add(std::move(object), true);
}

bool is_stock_object(uintptr_t value)
{
    GdiObject* object = lookup_object(value);
    return object && object->is_stock();
}

bool release_object(uintptr_t value)
{
    GdiObject* object = lookup_object(value);
    if (!object)
        return false;
    ObjectTable::the().release(object);
    return true;
}

void retain_selection(uintptr_t value)
{
    if (GdiObject* object = lookup_object(value))
        ObjectTable::the().retain_selection(object);
}

void release_selection(uintptr_t value)
{
    if (GdiObject* object = lookup_object(value))
        ObjectTable::the().release_selection(object);
}

size_t live_object_count()
{
    return ObjectTable::the().live();
}

void set_stock_font_factory(StockFontFactory factory)
{
    s_stock_font_factory = factory;
}

StockFontFactory stock_font_factory()
{
    return s_stock_font_factory;
}

} // namespace sorrel::gdi
