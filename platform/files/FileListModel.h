#pragma once

#include "platform/files/DriveDiscovery.h"
#include "platform/files/DriveMap.h"
#include "platform/files/FileHandle.h"
#include "platform/files/WindowsPath.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

// One entry of a file list as the list read it: the folder it was read in, held open, and the
// entry's name there exactly as it is on disk. Deleting it needs neither the shown text nor a path.
struct ListedFile {
    std::shared_ptr<FileHandle const> folder;
    std::string name; // on disk: UTF-8 or any bytes, possibly with "\" or ".." in it
    std::string shown; // what the list shows (Windows-1252)
};

// The text a file list shows for an entry named `name` on disk: UTF-8 converted to Windows-1252
// ("?" for what the code page lacks), with the characters a Windows name cannot hold (\ / : * ? "
// < > | and control characters) shown as "_". The text is for reading only, never to find the file.
std::string shown_file_name(std::string_view name);

// What a file list shows: the plain files of one folder, named by a Windows path.
//
// It lists normal, archive and read-only files: regular files only, not folders, links, hidden
// files (a leading dot, or the DOS hidden or system attribute) or devices, sorted without regard
// to case. It starts with no folder and lists nothing.
class FileListModel {
public:
    explicit FileListModel(DriveMap const& drives)
        : m_drives(drives)
    { }

    // Shows the folder `path`. A folder that doesn't exist, or a drive that isn't there, fails and
    // the previous folder stays. A link anywhere on the way below the drive's folder (see
    // open_listed_folder) shows the folder with nothing listed. The empty text clears: no folder,
    // nothing listed.
    Result<void> set_path(std::string_view path);
    // The folder exactly as it was set.
    std::string const& path() const { return m_path; }
    // The link that kept the folder from being read when it was set.
    std::optional<Link> const& link() const { return m_link; }

    std::size_t list_count() const { return m_files.size(); }
    // The shown name of entry `index`; the empty text past the end.
    std::string list(std::size_t index) const;
    // Entry `index` as it was read; no folder and no name past the end.
    ListedFile listed(std::size_t index) const;
    std::vector<std::string> names() const;
    // The folder the list read; nothing without one.
    std::optional<FileIdentity> folder_identity() const;

    // Reads the folder again: the folder that was opened when the path was set, so that a folder
    // swapped for another (or for a link) meanwhile never puts other files on the list. A folder
    // that has gone lists nothing.
    void refresh();

private:
    struct Entry {
        std::string name;
        std::string shown;
    };
    void read();

    DriveMap const& m_drives;
    std::string m_path;
    std::optional<Link> m_link;
    std::shared_ptr<FileHandle const> m_folder;
    std::vector<Entry> m_files;
};

} // namespace sorrel::files
