#include "platform/gdi/ObjectTable.h"

#include "platform/gdi/GdiObjects.h"

namespace sorrel::gdi {

namespace {

StockFontFactory s_stock_font_factory = nullptr;

} // namespace

bool ObjectTable::grow(uint32_t& index)
{
    if (m_slots.size() < max_slots) {
        index = uint32_t(m_slots.size());
        m_slots.emplace_back();
        m_size = m_slots.size();
        return true;
    }
    if (m_free_count == 0)
        return false;
    index = m_free_head;
    m_free_head = m_slots[index].next_free;
    --m_free_count;
    return true;
}

void ObjectTable::destroy(GdiObject* object)
{
    vacate(object);
    // Last, as destroying a device context releases its selections, which re-enters the table.
    dispose(object);
}

void ObjectTable::dispose(GdiObject* object)
{
    // Pens and brushes come and go once per line or fill: no virtual call for them.
    switch (object->m_kind) {
    case ObjectKind::Pen:
        delete static_cast<PenObject*>(object);
        return;
    case ObjectKind::Brush:
        delete static_cast<BrushObject*>(object);
        return;
    default:
        delete object;
        return;
    }
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
