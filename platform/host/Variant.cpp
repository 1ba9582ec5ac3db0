#include "platform/host/Variant.h"

#include "platform/host/StdFont.h"
#include "platform/host/StdPicture.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sorrel::host {

VariantType Variant::type() const
{
    switch (m_value.index()) {
    case 0:
        return VariantType::Empty;
    case 1:
        return VariantType::Integer;
    case 2:
        return VariantType::Long;
    case 3:
        return VariantType::Single;
    case 4:
        return VariantType::Double;
    case 5:
        return VariantType::Boolean;
    case 6:
        return VariantType::String;
    case 7:
        return VariantType::Font;
    default:
        return VariantType::Picture;
    }
}

bool Variant::is_numeric() const
{
    switch (type()) {
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::Single:
    case VariantType::Double:
    case VariantType::Boolean:
        return true;
    default:
        return false;
    }
}

std::string_view Variant::type_name() const
{
    switch (type()) {
    case VariantType::Empty:
        return "Empty";
    case VariantType::Integer:
        return "Integer";
    case VariantType::Long:
        return "Long";
    case VariantType::Single:
        return "Single";
    case VariantType::Double:
        return "Double";
    case VariantType::Boolean:
        return "Boolean";
    case VariantType::String:
        return "String";
    case VariantType::Font:
        return "StdFont";
    case VariantType::Picture:
        return "StdPicture";
    }
    return "Empty";
}

// Parses a numeric string as the Basic runtime does: surrounding blanks allowed, "&H" hex and
// "&O" octal, decimals with an exponent, "True"/"False". Nothing else converts.
static bool parse_number(const std::string& text, double& out)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::string s = text.substr(begin, end - begin);
    if (s.empty())
        return false;
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        uint64_t value = 0;
        size_t i = 2;
        for (; i < s.size(); ++i) {
            int digit;
            char c = s[i];
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else if (c == '&' && i + 1 == s.size())
                break; // a trailing & marks a Long literal
            else
                return false;
            if (digit >= base)
                return false;
            value = value * uint64_t(base) + uint64_t(digit);
            if (value > 0xFFFFFFFFull)
                return false;
        }
        // Hex literals of up to 16 bits are Integers, wider ones Longs: both sign-extend.
        if (value <= 0xFFFF && s.back() != '&')
            out = double(int16_t(uint16_t(value)));
        else
            out = double(int32_t(uint32_t(value)));
        return true;
    }
    std::string lower;
    for (char c : s)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "true") {
        out = -1;
        return true;
    }
    if (lower == "false") {
        out = 0;
        return true;
    }
    char* stop = nullptr;
    out = std::strtod(s.c_str(), &stop);
    if (stop != s.c_str() + s.size())
        return false;
    // strtod accepts hex floats, inf and nan; the Basic runtime does not.
    for (char c : lower) {
        if (c == 'x' || c == 'n' || c == 'i')
            return false;
    }
    return true;
}

double Variant::to_double() const
{
    switch (m_value.index()) {
    case 0:
        return 0;
    case 1:
        return std::get<int16_t>(m_value);
    case 2:
        return std::get<int32_t>(m_value);
    case 3:
        return std::get<float>(m_value);
    case 4:
        return std::get<double>(m_value);
    case 5:
        return std::get<BooleanValue>(m_value).value;
    case 6: {
        double d;
        if (!parse_number(std::get<std::string>(m_value), d))
            throw VariantError("Type mismatch");
        return d;
    }
    default:
        throw VariantError("Type mismatch");
    }
}

float Variant::to_single() const
{
    double d = to_double();
    if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
        throw VariantError("Overflow");
    return float(d);
}

int16_t Variant::to_integer() const
{
    double d = round_half_even(to_double());
    if (!(d >= -32768.0 && d <= 32767.0))
        throw VariantError("Overflow");
    return int16_t(d);
}

int32_t Variant::to_long() const
{
    if (auto* v = std::get_if<int32_t>(&m_value))
        return *v;
    double d = round_half_even(to_double());
    if (!(d >= -2147483648.0 && d <= 2147483647.0))
        throw VariantError("Overflow");
    return int32_t(d);
}

bool Variant::to_bool() const
{
    return to_double() != 0;
}

static std::string format_number(double d, bool single)
{
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", d);
        return buffer;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, single ? "%.7g" : "%.15g", d);
    return buffer;
}

std::string Variant::to_string() const
{
    switch (m_value.index()) {
    case 0:
        return {};
    case 1:
        return std::to_string(std::get<int16_t>(m_value));
    case 2:
        return std::to_string(std::get<int32_t>(m_value));
    case 3:
        return format_number(std::get<float>(m_value), true);
    case 4:
        return format_number(std::get<double>(m_value), false);
    case 5:
        return std::get<BooleanValue>(m_value).value ? "True" : "False";
    case 6:
        return std::get<std::string>(m_value);
    case 7: {
        auto& font = std::get<std::shared_ptr<StdFont>>(m_value);
        if (!font)
            throw VariantError("Object variable not set");
        return font->Name(); // a font's default property is its name
    }
    default:
        throw VariantError("Type mismatch");
    }
}

std::shared_ptr<StdFont> Variant::to_font() const
{
    if (is_empty())
        return nullptr;
    if (auto* font = std::get_if<std::shared_ptr<StdFont>>(&m_value))
        return *font;
    throw VariantError("Type mismatch");
}

std::shared_ptr<StdPicture> Variant::to_picture() const
{
    if (is_empty())
        return nullptr;
    if (auto* picture = std::get_if<std::shared_ptr<StdPicture>>(&m_value))
        return *picture;
    throw VariantError("Type mismatch");
}

bool Variant::operator==(const Variant& other) const
{
    VariantType a = type(), b = other.type();
    if (a == VariantType::Font || b == VariantType::Font) {
        if (a == VariantType::Empty || b == VariantType::Empty)
            return to_font() == nullptr && other.to_font() == nullptr;
        if (a != b)
            return false;
        auto fa = to_font(), fb = other.to_font();
        if (!fa || !fb)
            return fa == fb;
        return fa == fb || fa->same_as(*fb);
    }
    if (a == VariantType::Picture || b == VariantType::Picture) {
        if ((a == VariantType::Picture || a == VariantType::Empty)
            && (b == VariantType::Picture || b == VariantType::Empty))
            return to_picture() == other.to_picture();
        return false;
    }
    if (a == VariantType::String && b == VariantType::String)
        return std::get<std::string>(m_value) == std::get<std::string>(other.m_value);
    if (a == VariantType::Empty && b == VariantType::String)
        return std::get<std::string>(other.m_value).empty();
    if (b == VariantType::Empty && a == VariantType::String)
        return std::get<std::string>(m_value).empty();
    double x, y;
    try {
        x = to_double();
        y = other.to_double();
    } catch (const VariantError&) {
        return false;
    }
    return x == y;
}

} // namespace sorrel::host
