#pragma once

// Checks of the files and folders named on the command line, before the program relies on them.

#include <filesystem>
#include <string>

namespace sorrel::os {

// Why `folder` cannot be listed ("no such folder", "not a folder", the system's reason it cannot
// be read); empty when it can.
std::string folder_problem(const std::filesystem::path& folder);

// Why the file at `path` (UTF-8) cannot be read (the system's reason, or that it is a folder);
// empty when it can.
std::string unreadable_file_problem(const std::string& path);

} // namespace sorrel::os
