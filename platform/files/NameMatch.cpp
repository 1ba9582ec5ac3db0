#include "platform/files/NameMatch.h"

namespace sorrel::files {

namespace {

// Upper case of one code point, for the alphabets we fold.
char32_t upper(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c < 0x80)
        return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t {1};
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB))
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string fold_case(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        auto byte = static_cast<unsigned char>(name[i]);
        // Two-byte sequences cover every letter we fold beyond ASCII; the rest is copied as is.
        if (byte >= 0xC2 && byte <= 0xDF && i + 1 < name.size()
            && (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            char32_t c = ((byte & 0x1F) << 6) | (static_cast<unsigned char>(name[i + 1]) & 0x3F);
            append_utf8(out, upper(c));
            i += 2;
            continue;
        }
        out += static_cast<char>(byte < 0x80 ? upper(byte) : byte);
        ++i;
    }
    return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return fold_case(a) == fold_case(b);
}

bool less_ignoring_case(std::string_view a, std::string_view b)
{
    auto fa = fold_case(a);
    auto fb = fold_case(b);
    if (fa != fb)
        return fa < fb;
    return a < b;
}

} // namespace sorrel::files
