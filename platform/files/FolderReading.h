#pragma once

#include "platform/files/DriveDiscovery.h"
#include "platform/files/DriveMap.h"
#include "platform/files/FileHandle.h"
#include "platform/files/WindowsPath.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

// The system side of file lists: posix/FolderReading.cpp on POSIX systems, win32/FolderReading.cpp on
// Windows.

// Opens the folder that the Windows path `path` names on its drive the way a deletion opens
// things: from the drive's folder down, through no link. A link anywhere on the way (a junction or
// symbolic link on Windows) fails with ELOOP and is named in `link`: a list read there would hold
// another folder's files, and the removal would delete them there.
Result<FileHandle> open_listed_folder(
    DriveMap const& drives, std::string_view path, std::optional<Link>& link);

// The names, as they are on disk, of the plain files in the open folder: regular files that are
// neither hidden nor system files. Nothing when the folder can't be read.
std::vector<std::string> plain_file_names(native_file folder);

std::optional<FileIdentity> identity_of_folder(native_file folder);

} // namespace sorrel::files
