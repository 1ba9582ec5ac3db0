#include "platform/host/PropertyBag.h"

#include <cctype>

namespace sorrel::host {

bool keys_match(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

Variant PropertyBag::ReadProperty(std::string_view key, const Variant& default_value) const
{
    for (auto& entry : m_entries) {
        if (keys_match(entry.key, key))
            return entry.value;
    }
    return default_value;
}

void PropertyBag::WriteProperty(std::string_view key, const Variant& value)
{
    m_entries.push_back({std::string(key), value});
}

void PropertyBag::WriteProperty(std::string_view key, const Variant& value, const Variant& default_value)
{
    if (value == default_value)
        return;
    m_entries.push_back({std::string(key), value});
}

bool PropertyBag::contains(std::string_view key) const
{
    return count(key) > 0;
}

size_t PropertyBag::count(std::string_view key) const
{
    size_t n = 0;
    for (auto& entry : m_entries) {
        if (keys_match(entry.key, key))
            ++n;
    }
    return n;
}

} // namespace sorrel::host
