#pragma once

#include "platform/files/DeletionCalls.h"
#include "platform/files/DeletionPass.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::files {

// Removes items relative to opened folders, on every system by the same rules:
// - a protected folder (a drive's root, "/") never goes, nor what holds it;
// - nothing deeper than a Windows path can reach (max_deletion_depth) is walked into;
// - read-only items stay unless forced; so do items in use;
// - nothing on another file system or mount is touched;
// - a link goes as a link and is never followed;
// - what cannot go stays, and the folders holding it with it; the failures are told.
//
// Every entry is looked at relative to the folder it was listed in, and every folder is checked
// to be the one looked at when it is opened: a folder swapped for a link while a deletion runs
// makes that item fail, it never redirects the deletion. The walk keeps its own stack, so a deep
// tree can't exhaust the program's.
class Deleter {
public:
    Deleter(deletion::Request const& request, std::vector<FileIdentity> protected_folders)
        : m_request(request)
        , m_protected(std::move(protected_folders))
    { }

    // Called between two entries of a folder being emptied; true stops the deletion there.
    void set_between_entries(std::function<bool()> const* between)
    {
        m_between = between && *between ? between : nullptr;
    }

    // The entry `name` of `parent` (whatever it is but a folder). `shown` names it in messages.
    Result<void> delete_file(deletion::Folder& parent, std::string const& name, std::string const& shown);
    // The folder `name` of `parent` and, depth first, all it holds; a link is removed as a link.
    Result<void> delete_folder(deletion::Folder& parent, std::string const& name, std::string const& shown);

    // The folder that delete_folder last walked into, when it was a folder and not a link.
    std::optional<FileIdentity> last_folder() const { return m_last_folder; }

private:
    struct Level;
    std::optional<Error> refuse(
        deletion::Folder& folder, deletion::Entry const& entry, std::string const& shown) const;
    Result<void> remove_item(
        deletion::Folder& folder, std::string const& name, deletion::Entry& entry, std::string const& shown);
    Result<std::optional<Level>> descend(deletion::Folder& parent, std::string const& name,
        deletion::Entry& entry, std::string const& shown, std::size_t depth) const;
    Result<void> remove_tree(
        deletion::Folder& parent, std::string const& name, deletion::Entry& entry, std::string const& shown);
    Result<void> finish(deletion::Folder& parent, Level& done);
    bool is_protected(FileIdentity const& folder) const;

    deletion::Request m_request;
    std::vector<FileIdentity> m_protected;
    std::function<bool()> const* m_between {nullptr};
    std::optional<FileIdentity> m_last_folder;
};

// What the folder `folder` still holds, each item named by its path below it as a file list shows
// names ("Sub\deep\a.dll"; a folder that holds nothing to name ends in "\"). Entries that only
// wait for another program to let go are not named but counted in `pending`.
std::vector<std::string> remaining_in(
    deletion::Folder& folder, deletion::Request const& request, std::size_t& pending);

} // namespace sorrel::files
