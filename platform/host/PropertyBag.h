#pragma once

#include "platform/host/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

// The stored properties of one control instance: an ordered list of typed entries. Keys match
// without regard to letter case; a key written twice is kept twice (the check box saves
// "Caption" and "ForeColor" twice) and a read returns the first matching entry.
class PropertyBag {
public:
    struct Entry {
        std::string key;
        Variant value;
    };

    Variant ReadProperty(std::string_view key, const Variant& default_value = {}) const;
    // Always stores the value.
    void WriteProperty(std::string_view key, const Variant& value);
    // Stores nothing when the value equals the default; an Empty default equals 0, "" and False
    // (as the Basic runtime compares an uninitialised default).
    void WriteProperty(std::string_view key, const Variant& value, const Variant& default_value);

    // Appends an entry as it is (the form loader's way in).
    void add(std::string key, Variant value) { m_entries.push_back({std::move(key), std::move(value)}); }
    bool contains(std::string_view key) const;
    size_t count(std::string_view key) const;
    bool is_empty() const { return m_entries.empty(); }
    size_t size() const { return m_entries.size(); }
    void clear() { m_entries.clear(); }

    const std::vector<Entry>& entries() const { return m_entries; }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<Entry> m_entries;
};

bool keys_match(std::string_view a, std::string_view b);

} // namespace sorrel::host
