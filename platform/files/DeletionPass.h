#pragma once

#include "platform/files/DeletionCalls.h"
#include "platform/files/DriveDiscovery.h"
#include "platform/files/FileHandle.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace sorrel::files {

struct FileIdentityHash {
    std::size_t operator()(FileIdentity const& id) const
    {
        return std::hash<std::uint64_t>()(id.device * 1000003u ^ id.inode);
    }
};

// The files that running processes hold open or mapped, found once for a whole deletion pass the
// way `fuser` finds them: every /proc/PID/fd entry, every /proc/PID/maps line, and the working
// folder of every process. Processes of other users whose /proc entries we may not read are
// missed, as they are by `fuser`. Windows keeps no such list: there the pass finds nothing, and
// the system refuses to open a file in use for deletion, which the deletion asks at each file.
class DeletionPass {
public:
    // Scans the process table under `proc` (the real one unless a test gives another).
    static DeletionPass scan(std::filesystem::path const& proc = "/proc");

    bool is_in_use(FileIdentity const& file) const { return m_in_use.contains(file); }
    // Whether the scan read the open files of every process there is (as root, with none
    // refused); a pass made otherwise knows of none but those added.
    bool sees_every_process() const { return m_sees_every_process; }
    std::size_t in_use_count() const { return m_in_use.size(); }

    // Adds the mapped files of one maps text ("addr perms offset major:minor inode path").
    void add_maps(std::string_view maps_text);
    void add(FileIdentity const& file) { m_in_use.insert(file); }
    // Our own file list holds the folder it shows open; that must not keep the folder.
    void forget(FileIdentity const& file) { m_in_use.erase(file); }

    // What deleting the files of an open folder needs to know about the folder itself (its
    // device; on Linux how its file system keeps DOS attributes) doesn't change while the folder
    // is open, so each folder is examined once per pass, not once per file; the pass keeps it
    // open. Nothing when the folder can't be examined.
    deletion::Folder* open_folder(std::shared_ptr<FileHandle const> const& folder) const;

private:
    std::unordered_set<FileIdentity, FileIdentityHash> m_in_use;
    bool m_sees_every_process {false};
    struct KeptFolder {
        std::shared_ptr<FileHandle const> handle;
        deletion::Folder folder;
    };
    mutable std::unordered_map<FileHandle const*, KeptFolder> m_folders;
};

} // namespace sorrel::files
