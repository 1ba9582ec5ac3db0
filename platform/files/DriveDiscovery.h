#pragma once

#include "platform/files/DriveMap.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

// Which object a path leads to, whatever the way: equal identities are the same folder.
struct FileIdentity {
    std::uint64_t device {0};
    std::uint64_t inode {0};
    bool operator==(FileIdentity const&) const = default;
};

// What drive discovery asks of the file system. Tests give it the answers of a fixture.
struct FileSystemProbe {
    // The identity of the folder `path` leads to (links followed); nothing unless it is a folder.
    std::function<std::optional<FileIdentity>(std::filesystem::path const&)> folder_identity;
    // The names in a folder; nothing when it can't be read.
    std::function<std::vector<std::string>(std::filesystem::path const&)> list;

    static FileSystemProbe real();
};

// Everything discovery looks at besides folders.
struct DiscoveryInput {
    std::optional<std::string> wine_prefix; // $WINEPREFIX when set
    std::filesystem::path home;
    std::string mounts; // the text of /proc/self/mounts

    // Reads the environment and /proc/self/mounts.
    static DiscoveryInput from_system();
};

struct MountEntry {
    std::string device;
    std::filesystem::path mount_point;
    std::string type;
};

// Parses mount table text; octal escapes such as "\040" (a space) in names are undone.
std::vector<MountEntry> parse_mounts(std::string_view text);
std::string unescape_mount_field(std::string_view field);

// The Wine prefixes to look in: the user's own ($WINEPREFIX, else ~/.wine) first, then those
// that common Wine front ends keep in their well-known folders. A prefix is a folder holding
// both dosdevices/ and drive_c/.
std::vector<std::filesystem::path> find_wine_prefixes(
    DiscoveryInput const& input, FileSystemProbe const& probe);

// The drives of this system. On Windows they are the system's own drives (drives_from_roots);
// elsewhere:
//  1. the first prefix's letter links keep their letters ("c:", "d:", ...);
//  2. the other prefixes' letter links, then mounted Windows file systems (ntfs, ntfs3, fuseblk,
//     vfat, msdos, exfat), take the next free letters from c: on.
// A letter bound to "/" (the whole Unix tree) is skipped, and of two letters for one folder the
// first is kept. Folders found when no letter was free are added to `left_out` when it is given.
DriveMap discover_drives(DiscoveryInput const& input, FileSystemProbe const& probe,
    std::vector<std::filesystem::path>* left_out = nullptr);

// The drives of a Windows system from the text GetLogicalDriveStringsW gives ("C:\", "D:\",
// each ended by a NUL) and each root's drive type: every drive that has a root folder, bound to
// it ("c:" to "C:\"), in letter order.
DriveMap drives_from_roots(
    std::wstring_view roots, std::function<unsigned(std::wstring const&)> const& drive_type);

// The system's own program-files folders below a drive's root, "\Programme" for "C:\Programme"
// on a German Windows XP: the folder itself and its 32-bit counterpart, as the system names them.
// None on Linux.
std::vector<std::string> system_program_folders();

// The drives the program works with: the "X:=DIR" mappings given with --drive when there are any
// (they replace discovery), else those discovery finds on this system.
Result<DriveMap> drives_for_program(std::vector<std::string> const& drive_arguments);

} // namespace sorrel::files
