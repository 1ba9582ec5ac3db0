#pragma once

#include "platform/files/DeletionPass.h"
#include "platform/files/Result.h"
#include "platform/files/posix/DosAttributes.h"

#include <string>
#include <sys/stat.h>
#include <vector>

namespace sorrel::files {

// Removes items relative to opened directories, never through a link, never across into another
// file system, never a protected folder (a drive's root, "/"). Read-only items (no owner write
// bit, or the DOS read-only attribute) stay unless forced; so do files that the pass found in use.
//
// Every directory is opened with O_NOFOLLOW and checked to be the one that was examined, and
// every removal is an unlinkat relative to it: a folder swapped for a link while a pass runs
// makes that item fail, it never redirects the deletion.
class Deleter {
public:
    Deleter(DeletionPass const& pass, bool force, std::vector<FileIdentity> protected_folders)
        : m_pass(pass)
        , m_force(force)
        , m_protected(std::move(protected_folders))
    { }

    // The entry `name` of `parent_fd` (whatever it is but a folder). `shown` names it in messages.
    Result<void> delete_file(int parent_fd, std::string const& name, std::string const& shown);
    // The same in a folder already examined: `parent_device` is its device and `attributes`
    // reads its entries' DOS attributes.
    Result<void> delete_file(int parent_fd, std::uint64_t parent_device, DosAttributeReader& attributes,
        std::string const& name, std::string const& shown);
    // The folder `name` of `parent_fd` and, depth first, all it holds; a link is removed as a link.
    Result<void> delete_folder(int parent_fd, std::string const& name, std::string const& shown);

private:
    std::optional<Error> refuse(struct stat const& st, std::optional<std::uint32_t> dos,
        std::string const& shown, std::uint64_t device) const;
    std::optional<Error> held_open(
        int dir_fd, std::string const& name, struct stat const& st, std::string const& shown) const;
    Result<void> remove_folder(int parent_fd, std::string const& name, struct stat const& st,
        std::optional<std::uint32_t> dos, std::string const& shown, int depth);
    Result<void> remove_contents(int dir_fd, std::uint64_t device, std::string const& shown, int depth);
    bool is_protected(struct stat const& st) const;

    DeletionPass const& m_pass;
    bool m_force {false};
    std::vector<FileIdentity> m_protected;
};

} // namespace sorrel::files
