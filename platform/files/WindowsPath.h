#pragma once

#include "platform/files/DriveMap.h"
#include "platform/files/FileHandle.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

// A full Windows path taken apart: "c:\Program Files\Messenger" is drive 'c' with two components.
// "." and ".." are applied as Windows does, without looking at the disk (".." stops at the root).
struct WindowsPath {
    char drive {0};
    std::vector<std::string> components;

    static Result<WindowsPath> parse(std::string_view text);
};

enum class LinkPolicy {
    Follow, // links on the way are followed, as any program reading the path would
    DoNotFollow, // a link on the way stops the walk: deletion never goes through one
};

// A link met on the way down a path: where it is, and where it led when it was met (empty when
// that could not be read).
struct Link {
    std::filesystem::path path;
    std::filesystem::path target;
};

// A path walked down to the folder that holds its last item.
struct OpenedParent {
    FileHandle directory; // the drive's folder itself when the path has no components
    std::string name; // the last item's name on disk; empty for a drive's root
    std::filesystem::path drive_folder; // the folder the drive is bound to
    std::vector<std::string> names_on_disk; // each component as it is spelled on disk

    std::filesystem::path full_path() const;
};

// Walks `path` on its drive. Each component is matched exactly first, otherwise without regard to
// case (see find_entry); each one must exist. Under DoNotFollow the drive's folder is reached the
// way it led when the drive was bound, and a link anywhere on the way fails with ELOOP; `link`,
// when given, then names it.
Result<OpenedParent> open_parent(
    DriveMap const& drives, WindowsPath const& path, LinkPolicy policy, Link* link = nullptr);

// Opens the folder `name` of the open folder `dir_fd`; `place` names it in errors. A link there
// fails with ELOOP under DoNotFollow and, when `link` is given, is named in it.
Result<FileHandle> open_folder_in(
    int dir_fd, std::string const& name, std::filesystem::path const& place, LinkPolicy policy, Link* link);

// The system path that a Windows path names: on Linux through the drive map, when everything on
// it exists; on Windows the path itself, in the long form.
Result<std::filesystem::path> resolve(DriveMap const& drives, std::string_view windows_path);

} // namespace sorrel::files
