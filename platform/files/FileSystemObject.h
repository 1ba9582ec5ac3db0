#pragma once

#include "platform/files/DeletionPass.h"
#include "platform/files/DriveMap.h"
#include "platform/files/FileListModel.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// windows.h renames DeleteFile to DeleteFileA or DeleteFileW; ours keeps its name.
#undef DeleteFile

namespace sorrel::files {

// The scripting runtime's file-system object: the calls the main window makes, on Windows paths
// resolved through the drive map. Every failure comes back with its reason; nothing is printed.
class FileSystemObject {
public:
    explicit FileSystemObject(DriveMap const& drives)
        : m_drives(drives)
    { }

    // The file's version, "a.b.c.d"; the empty text when it has no version information. A missing
    // or unreadable file fails.
    Result<std::string> GetFileVersion(std::string_view path) const;

    // Deletes one file (a link goes as a link). Without force a read-only file stays and the call
    // fails; a file in use always stays. `pass` says which files are in use; without one, the
    // call looks for itself.
    Result<void> DeleteFile(std::string_view path, bool force, DeletionPass const* pass = nullptr) const;
    // The same for an entry that a file list read: exactly that entry of the folder the list read,
    // whatever its name holds ("\", ".."); the name is never taken apart as a path.
    Result<void> DeleteFile(ListedFile const& file, bool force, DeletionPass const* pass = nullptr) const;

    // Whether a listed file is deleted but keeps its name until another program that holds it lets
    // go (Windows 7 and 8.1, and Wine, have no deletion that takes the name at once): such a file
    // counts as deleted. Never on Linux, where the name goes at once.
    bool is_deletion_pending(ListedFile const& file) const;

    // Deletes a folder with whatever it holds, depth first. What cannot go stays, and then the
    // folder stays too and the call fails. A drive's root folder is never deleted.
    // `between_entries` is called between every two entries; true stops the deletion there (the
    // caller keeps its window alive with it, and takes a close request).
    Result<void> DeleteFolder(std::string_view path, bool force, DeletionPass const* pass = nullptr,
        std::function<bool()> const& between_entries = {}) const;

    // What the folder `path` still holds, each item named by its path below the folder as a file
    // list shows names ("Sub\deep\a.dll"; an empty folder ends in "\"). Nothing when the folder
    // is gone; the path itself when it is there but can't be looked into.
    std::vector<std::string> remaining_items(std::string_view path) const;

    // Has the system delete the file or empty folder `path` at its next start, as installers do
    // with files in use (Windows; elsewhere this fails).
    Result<void> DeleteAtRestart(std::string_view path) const;

    // The first link on the way to the folder `path`, the folder itself included (the drive's own
    // folder is the user's binding and doesn't count): the removal never goes through one. Nothing
    // when there is no link or the path doesn't lead anywhere.
    using Link = sorrel::files::Link;
    std::optional<Link> link_on_path(std::string_view path) const;

    // Finds the files in use, once for a series of deletions.
    static DeletionPass begin_deletion_pass() { return DeletionPass::scan(); }

private:
    enum class Kind {
        File,
        Folder,
    };
    Result<void> remove(std::string_view path, bool force, DeletionPass const* pass, Kind kind,
        std::function<bool()> const& between_entries) const;
    std::vector<FileIdentity> protected_folders() const;

    DriveMap const& m_drives;
    // Entries deleted while another handle (a file list's, another program's) held them open,
    // where the system takes the name away only when the last handle closes: they count as gone.
    // Windows only.
    mutable std::vector<FileIdentity> m_deletion_pending;
};

} // namespace sorrel::files
