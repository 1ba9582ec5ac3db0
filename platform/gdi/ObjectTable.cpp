#include "platform/gdi/ObjectTable.h"

#include <deque>
#include <vector>

namespace sorrel::gdi {

GdiObject::~GdiObject() = default;

namespace {

// Handle layout: bits 0..19 hold the slot index + 1 (so 0 is never a valid handle), bits 20..29
// a generation that changes on every reuse of the slot. Values stay below 2^30, so they also
// survive a round trip through a signed 32-bit integer.
constexpr unsigned index_bits = 20;
constexpr uintptr_t index_mask = (uintptr_t(1) << index_bits) - 1;
constexpr size_t max_slots = index_mask - 1;
constexpr uint32_t generation_mask = 0x3FF;

struct Slot {
    std::unique_ptr<GdiObject> object;
    uint32_t generation {1};
    uint32_t selections {0};
    bool stock {false};
    bool delete_pending {false};
};

class ObjectTable {
public:
    uintptr_t add(std::unique_ptr<GdiObject> object, bool stock)
    {
        if (!object)
            return 0;
        size_t index;
        // Reuse the slot freed longest ago, so that a stale handle rarely meets its generation again.
        if (!m_free.empty() && (m_free.size() > 64 || m_slots.size() >= max_slots)) {
            index = m_free.front();
            m_free.pop_front();
        } else if (m_slots.size() < max_slots) {
            index = m_slots.size();
            m_slots.emplace_back();
        } else {
            return 0;
        }
        Slot& slot = m_slots[index];
        slot.object = std::move(object);
        slot.selections = 0;
        slot.stock = stock;
        slot.delete_pending = false;
        if (!stock)
            ++m_live;
        return (uintptr_t(slot.generation) << index_bits) | (index + 1);
    }

    Slot* find(uintptr_t value)
    {
        size_t index = value & index_mask;
        uint32_t generation = uint32_t(value >> index_bits);
        if (index == 0 || index > m_slots.size() || (value >> (index_bits + 10)) != 0)
            return nullptr;
        Slot& slot = m_slots[index - 1];
        if (!slot.object || slot.generation != generation)
            return nullptr;
        return &slot;
    }

    void destroy(uintptr_t value)
    {
        Slot* slot = find(value);
        if (!slot)
            return;
        size_t index = (value & index_mask) - 1;
        // Detach first: destroying a DC releases its selections, which re-enters the table.
        std::unique_ptr<GdiObject> object = std::move(slot->object);
        slot->generation = (slot->generation % generation_mask) + 1;
        if (!slot->stock)
            --m_live;
        m_free.push_back(index);
        object.reset();
    }

    size_t live() const { return m_live; }

private:
    std::vector<Slot> m_slots;
    std::deque<size_t> m_free;
    size_t m_live {0};
};

ObjectTable& table()
{
    static ObjectTable instance;
    return instance;
}

StockFontFactory s_stock_font_factory = nullptr;

} // namespace

uintptr_t register_object_value(std::unique_ptr<GdiObject> object)
{
    return table().add(std::move(object), false);
}

uintptr_t register_stock_object_value(std::unique_ptr<GdiObject> object)
{
    return table().add(std::move(object), true);
}

GdiObject* lookup_object(uintptr_t value)
{
    Slot* slot = table().find(value);
    return slot ? slot->object.get() : nullptr;
}

bool is_stock_object(uintptr_t value)
{
    Slot* slot = table().find(value);
    return slot && slot->stock;
}

bool release_object(uintptr_t value)
{
    Slot* slot = table().find(value);
    if (!slot)
        return false;
    if (slot->stock)
        return true;
    if (slot->selections > 0) {
        slot->delete_pending = true;
        return true;
    }
    table().destroy(value);
    return true;
}

void retain_selection(uintptr_t value)
{
    if (Slot* slot = table().find(value))
        ++slot->selections;
}

void release_selection(uintptr_t value)
{
    Slot* slot = table().find(value);
    if (!slot || slot->selections == 0)
        return;
    if (--slot->selections == 0 && slot->delete_pending)
        table().destroy(value);
}

size_t live_object_count()
{
    return table().live();
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
