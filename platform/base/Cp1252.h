#pragma once

// Windows-1252, the code page of every text the controls hold and draw, and its conversions to
// and from UTF-8, which is what the disk, form files and the desktop's text input speak.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorrel::base {

// The Unicode character of a Windows-1252 byte. The five bytes the code page leaves undefined
// map to the control characters of the same value, as the Windows conversion does.
constexpr char32_t cp1252_to_unicode(uint8_t byte)
{
    constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
    };
    if (byte >= 0x80 && byte < 0xA0)
        return high[byte - 0x80];
    return byte;
}

// The Windows-1252 byte of a Unicode character; none when the code page lacks it.
std::optional<uint8_t> unicode_to_cp1252(char32_t character);

// UTF-8 to Windows-1252. A character the code page lacks, and each byte that is not part of a
// well-formed UTF-8 sequence, becomes "?", as the old runtime showed them.
std::string utf8_to_cp1252(std::string_view utf8);

// Windows-1252 to UTF-8; every byte has a character, so this never loses anything and
// utf8_to_cp1252 takes it back byte for byte.
std::string cp1252_to_utf8(std::string_view text);

// Decodes the UTF-8 sequence at the start of `text`: the character and the bytes it took. An
// ill-formed sequence (overlong, a surrogate, past U+10FFFF, cut short) gives no character and
// one byte, so that a caller can step over it.
struct Utf8Step {
    std::optional<char32_t> character;
    std::size_t length {1};
};
Utf8Step decode_utf8(std::string_view text);

void append_utf8(std::string& out, char32_t character);

} // namespace sorrel::base
