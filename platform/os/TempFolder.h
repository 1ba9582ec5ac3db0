#pragma once

// Folders of the program's own in the temporary folder.

#include "platform/base/ErrorOr.h"

#include <filesystem>
#include <string_view>

namespace sorrel::os {

// A new folder of a name nobody has, starting with `prefix`, in the temporary folder (%TEMP% on
// Windows). `purpose` names what it is for in the error.
base::ErrorOr<std::filesystem::path> make_temp_folder(std::string_view prefix, std::string_view purpose);

// Whether `folder` is a folder of this user's own. /tmp is shared on Linux, and another user's
// folder there is never ours, whatever it holds; %TEMP% is the user's alone.
bool is_own_folder(const std::filesystem::path& folder);

} // namespace sorrel::os
