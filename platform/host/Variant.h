#pragma once

#include "platform/host/Rounding.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace sorrel::host {

class StdFont;
class StdPicture;

enum class VariantType {
    Empty,
    Integer, // 16-bit signed
    Long, // 32-bit signed; colours are Longs
    Single,
    Double,
    Boolean, // stored as 16-bit -1 / 0
    String,
    Font, // shared StdFont reference (may be null: "Nothing")
    Picture, // shared StdPicture reference (may be null: no picture)
};

// A conversion the old Basic runtime refuses: "Overflow" or "Type mismatch". Callers that must
// not fail catch it (a property read with a damaged stored value, for instance).
class VariantError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A typed value that keeps the type it was given in, as the property store and the progress
// bar's Min/Max need. Conversions follow the Basic runtime: to Integer/Long rounds half to even
// and overflow is a VariantError; numeric strings ("12", "&H80", " 3.5 ") convert; Booleans are
// -1 / 0 as numbers and "True" / "False" as text.
class Variant {
public:
    Variant() = default;
    Variant(int16_t v)
        : m_value(v)
    { }
    Variant(int32_t v)
        : m_value(v)
    { }
    // A colour: stored as a Long (the bit pattern), remembered as a colour so that form files
    // write it in hex.
    Variant(uint32_t color)
        : m_value(int32_t(color))
        , m_is_color(true)
    { }
    Variant(float v)
        : m_value(v)
    { }
    Variant(double v)
        : m_value(v)
    { }
    Variant(bool v)
        : m_value(BooleanValue {int16_t(v ? -1 : 0)})
    { }
    Variant(std::string v)
        : m_value(std::move(v))
    { }
    Variant(std::string_view v)
        : m_value(std::string(v))
    { }
    Variant(const char* v)
        : m_value(std::string(v))
    { }
    Variant(std::shared_ptr<StdFont> font)
        : m_value(std::move(font))
    { }
    Variant(std::shared_ptr<StdPicture> picture)
        : m_value(std::move(picture))
    { }

    static Variant color(uint32_t c) { return Variant(c); }
    // A Boolean given as its stored 16-bit form; any non-zero value is True.
    static Variant boolean16(int16_t v) { return Variant(v != 0); }

    VariantType type() const;
    bool is_empty() const { return type() == VariantType::Empty; }
    bool is_numeric() const;
    bool is_color() const { return m_is_color && type() == VariantType::Long; }
    // "Integer", "Long", "Single", ... as the Basic runtime's TypeName says.
    std::string_view type_name() const;

    int16_t to_integer() const;
    int32_t to_long() const;
    uint32_t to_color() const { return uint32_t(to_long()); }
    float to_single() const;
    double to_double() const;
    bool to_bool() const;
    int16_t to_boolean16() const { return to_bool() ? -1 : 0; }
    std::string to_string() const;
    // Null for Empty and for a font / picture slot that holds nothing; VariantError for other types.
    std::shared_ptr<StdFont> to_font() const;
    std::shared_ptr<StdPicture> to_picture() const;

    // Equality as the property store compares a value with its default: numbers (and Booleans)
    // by value across types, strings exactly, fonts by their attributes, pictures by identity,
    // Empty equal to 0, "" and False.
    bool operator==(const Variant& other) const;

private:
    struct BooleanValue {
        int16_t value;
    };
    std::variant<std::monostate, int16_t, int32_t, float, double, BooleanValue, std::string,
        std::shared_ptr<StdFont>, std::shared_ptr<StdPicture>>
        m_value;
    bool m_is_color {false};
};

} // namespace sorrel::host
