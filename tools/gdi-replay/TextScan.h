#pragma once

// The line and token scanning that case scripts and pixel dumps share.

#include <string_view>
#include <vector>

namespace sorrel::gdireplay {

// The lines of `text`, split at LF, each without a trailing CR; no empty line after a final LF.
std::vector<std::string_view> split_lines(std::string_view text);
// The words of `line`, split at runs of spaces.
std::vector<std::string_view> split_tokens(std::string_view line);
// The value of a hexadecimal digit in either case, or -1.
int hex_digit(char c);

} // namespace sorrel::gdireplay
