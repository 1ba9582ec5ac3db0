#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sorrel::base {

// A path from UTF-8 text, the encoding every name travels in inside the program. On Windows a path
// made from a plain std::string would read its bytes in the ANSI code page instead, and a folder
// named outside that code page would not be found.
inline std::filesystem::path utf8_path(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace sorrel::base
