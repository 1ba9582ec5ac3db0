#include "platform/host/Events.h"

#include "platform/host/PropertyBag.h"

namespace sorrel::host {

Variant EventArg::value() const
{
    return std::visit([](auto* p) -> Variant { return Variant(*p); }, m_ref);
}

void EventArg::set(const Variant& value) const
{
    std::visit(
        [&](auto* p) {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, int16_t>)
                *p = value.to_integer();
            else if constexpr (std::is_same_v<T, int32_t>)
                *p = value.to_long();
            else if constexpr (std::is_same_v<T, float>)
                *p = value.to_single();
            else if constexpr (std::is_same_v<T, double>)
                *p = value.to_double();
            else if constexpr (std::is_same_v<T, bool>)
                *p = value.to_bool();
            else if constexpr (std::is_same_v<T, std::string>)
                *p = value.to_string();
            else
                *p = value;
        },
        m_ref);
}

std::string RecordedEvent::to_string() const
{
    std::string text = source + "." + event;
    if (args.empty())
        return text;
    text += "(";
    for (size_t i = 0; i < args.size(); ++i) {
        if (i)
            text += ", ";
        try {
            if (args[i].type() == VariantType::String)
                text += "\"" + args[i].to_string() + "\"";
            else
                text += args[i].to_string();
        } catch (const VariantError&) {
            text += std::string(args[i].type_name());
        }
    }
    return text + ")";
}

std::vector<std::string> EventRecorder::lines(std::string_view source) const
{
    std::vector<std::string> out;
    for (auto& e : m_events) {
        if (source.empty() || keys_match(e.source, source))
            out.push_back(e.to_string());
    }
    return out;
}

std::vector<std::string> EventRecorder::names(std::string_view source) const
{
    std::vector<std::string> out;
    for (auto& e : m_events) {
        if (source.empty() || keys_match(e.source, source))
            out.push_back(e.event);
    }
    return out;
}

} // namespace sorrel::host
