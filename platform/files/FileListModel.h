#pragma once

#include "platform/files/DriveMap.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

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
    // the previous folder stays. The empty text clears: no folder, nothing listed.
    Result<void> set_path(std::string_view path);
    // The folder exactly as it was set.
    std::string const& path() const { return m_path; }

    std::size_t list_count() const { return m_names.size(); }
    // The name of entry `index`; the empty text past the end.
    std::string list(std::size_t index) const;
    std::vector<std::string> const& names() const { return m_names; }

    // Reads the folder again; a folder that has gone lists nothing.
    void refresh();

private:
    DriveMap const& m_drives;
    std::string m_path;
    std::vector<std::string> m_names;
};

} // namespace sorrel::files
