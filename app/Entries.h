#pragma once

// The autostart values and Start-menu shortcuts that point into a folder: --detect lists them, and
// --remove-older --entries removes those of the folder it removed. Only Windows has them; on
// Linux they are not examined.

#include "app/Report.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::app {

// The Run values (HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, the 32-bit view too) whose command
// names a file inside `folder`, and the Start-menu shortcuts (the user's and all users') whose
// target lies inside it. Nothing when the system has none to look at.
std::optional<std::vector<EntryReport>> entries_into(std::filesystem::path const& folder);

struct EntryRemoval {
    std::vector<EntryReport> removed;
    std::vector<std::string> problems; // one line each: what stayed and why
};

// Removes the entries that point into `folder`, after writing every value it removes to the .reg
// file `backup`, so that it can be put back. When the backup can't be written, nothing is removed.
// Nothing when the system has no entries to look at.
std::optional<EntryRemoval> remove_entries_into(
    std::filesystem::path const& folder, std::filesystem::path const& backup);

} // namespace sorrel::app
