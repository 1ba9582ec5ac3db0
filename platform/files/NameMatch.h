#pragma once

#include "platform/files/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

// Names compared as Windows compares them: without regard to case. Names are UTF-8; letters of
// the Latin, Greek and Cyrillic alphabets fold to upper case, anything else (and bytes that are
// not UTF-8) compares as it is.
std::string fold_case(std::string_view name);
bool equal_ignoring_case(std::string_view a, std::string_view b);
// Orders without regard to case, then by the exact bytes so that the order is total.
bool less_ignoring_case(std::string_view a, std::string_view b);

// Finds the entry of the open directory `dir_fd` that `name` means: the entry of exactly that name
// when there is one, else the one entry equal to it without regard to case. When two or more
// entries differ from it only in case, the lookup fails: we don't guess on a user's disk.
Result<std::string> find_entry(int dir_fd, std::string_view name);

// The names in the open directory `dir_fd`, without "." and "..".
Result<std::vector<std::string>> list_directory(int dir_fd);

} // namespace sorrel::files
