#pragma once

// The Windows system calls under the file services: names, handles, relative opens, listings.

#include "platform/files/DriveDiscovery.h"
#include "platform/files/DriveMap.h"
#include "platform/files/FileHandle.h"
#include "platform/files/Result.h"
#include "platform/files/WindowsPath.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace sorrel::files::windows {

// A UTF-16 name as UTF-8, and back. An unpaired surrogate, which a Windows name may hold, travels
// as its own three-byte form, so that every name read from the disk comes back exactly.
std::string to_utf8(std::wstring_view name);
std::wstring to_wide(std::string_view name);

// An owned handle, closed when it goes.
using Handle = FileHandle;

// The errno that stands for a Windows error code, so that both systems report alike.
int errno_of(DWORD error);
// `what`, a colon and the reason, as Error::from_errno words it.
Error system_error(std::string const& what, DWORD error);

// The wide path of a drive's folder and the components below it, in the "\\?\" form that takes
// names exactly as they are and has no length limit.
std::wstring full_path(std::filesystem::path const& drive_folder, std::vector<std::string> const& components);
// The same for a path on one of `drives`; fails when its drive is not there.
Result<std::wstring> full_path(DriveMap const& drives, WindowsPath const& path);

// Opens a folder by its full path, links followed: the folder as any program reading it sees it.
Result<Handle> open_folder(std::wstring const& path, std::string const& shown);

// Opens the entry `name` of the open folder `folder` for examining and deleting: relative to that
// handle, so that the entry is inside that very folder whatever happened to its path meanwhile,
// and the entry itself even when it is a link (junction or symbolic link), never its target. An
// entry that someone holds open without sharing fails with ERROR_SHARING_VIOLATION.
// `error` is the system's error code; an entry whose deletion is pending counts as not found.
Result<Handle> open_entry(HANDLE folder, std::wstring const& name, ACCESS_MASK access, DWORD& error);

// Opens the folder that `path` names the way the deleter opens things: from the drive's folder
// down, each entry relative to its folder's handle, through no junction or symbolic link. A link on
// the way, or the folder being one, fails with ELOOP. `shown` names the folder in errors.
Result<Handle> open_folder_through_no_link(
    DriveMap const& drives, WindowsPath const& path, std::string const& shown);

// Whether the entry `name` of `folder` is marked for deletion and waits only for another
// program's handle on it to close (Windows 7 and 8.1 and Wine have no deletion that takes the name
// at once): still listed, but as good as deleted.
bool is_deletion_pending(HANDLE folder, std::wstring const& name);

struct EntryInfo {
    DWORD attributes {0};
    FileIdentity identity;

    bool is_link() const { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
    bool is_folder() const { return attributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool is_read_only() const { return attributes & FILE_ATTRIBUTE_READONLY; }
};
std::optional<EntryInfo> examine(HANDLE handle);

// Wine opens a Unix symbolic link as what it leads to even when asked for the link itself: the
// handle shows no reparse point, and deleting through it deletes the link's target. Windows opens
// the link.
bool opens_links_as_targets();

// Whether `entry`, opened as `name` relative to `folder`, is that folder's entry itself rather
// than what a link there leads to. Always so where the system opens links as themselves.
bool is_entry_itself(HANDLE folder, HANDLE entry, std::wstring const& name);

// The folder's own path now, "\\?\C:\Folder"; nothing when the system won't say.
std::optional<std::wstring> final_path(HANDLE handle);
// The same found from the kernel's name of the handle and the drive letters' devices: the way of
// Windows before Vista, which final_path takes there.
std::optional<std::wstring> final_path_from_object_name(HANDLE handle);
// A drive letter and the device it stands for, "\Device\HarddiskVolume1".
struct DriveDevice {
    wchar_t letter;
    std::wstring device;
};
// The full path, "\\?\C:\Folder", of the kernel's name of a file, "\Device\HarddiskVolume1\Folder"
// (or "\??\C:\Folder", as Wine names it), by the drive whose device it lies on.
std::optional<std::wstring> drive_path_of(
    std::wstring const& kernel_name, std::vector<DriveDevice> const& devices);
// A full path as people write it: "\\?\C:\Folder" is "C:\Folder", "\\?\UNC\server\share" is
// "\\server\share".
std::wstring shown_path(std::wstring const& path);

struct FolderEntry {
    std::wstring name;
    DWORD attributes {0};
};
// The entries of an open folder, without "." and "..", found by the folder's path as it is now.
Result<std::vector<FolderEntry>> list_folder(HANDLE folder);
// The same read through the handle itself, which may hold the right to delete the folder (that
// keeps a search by path from opening it).
Result<std::vector<FolderEntry>> read_folder(HANDLE folder);

} // namespace sorrel::files::windows
