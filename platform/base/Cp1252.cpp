#include "platform/base/Cp1252.h"

namespace sorrel::base {

std::optional<uint8_t> unicode_to_cp1252(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return uint8_t(character);
    for (unsigned byte = 0x80; byte < 0xA0; ++byte) {
        if (cp1252_to_unicode(uint8_t(byte)) == character)
            return uint8_t(byte);
    }
    return std::nullopt;
}

Utf8Step decode_utf8(std::string_view text)
{
    if (text.empty())
        return {std::nullopt, 0};
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80)
        return {char32_t(lead), 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
        least = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {};
    return {c, length};
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string utf8_to_cp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        Utf8Step step = decode_utf8(utf8);
        std::optional<uint8_t> byte = step.character ? unicode_to_cp1252(*step.character) : std::nullopt;
        out += byte ? char(*byte) : '?';
        utf8.remove_prefix(step.length);
    }
    return out;
}

std::string cp1252_to_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        append_utf8(out, cp1252_to_unicode(uint8_t(c)));
    return out;
}

} // namespace sorrel::base
