#include "platform/files/DeletionCalls.h"

#include "platform/files/DeletionPass.h"
#include "platform/files/DeletionReport.h"
#include "platform/files/NameMatch.h"
#include "platform/files/posix/DosAttributes.h"
#include "platform/files/posix/MountIdentity.h"
#include "platform/files/posix/OpenCheck.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::files::deletion {

struct Folder::Notes {
    explicit Notes(int fd)
        : attributes(fd)
    { }
    DosAttributeReader attributes;
    std::optional<MountIdentity> mount; // asked once, when a folder inside is opened
};

namespace {

FileIdentity identity_of(struct stat const& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

EntryFacts facts_of(struct stat const& st, std::optional<std::uint32_t> dos)
{
    EntryKind kind = S_ISLNK(st.st_mode) ? EntryKind::Link
        : S_ISDIR(st.st_mode)            ? EntryKind::Folder
                                         : EntryKind::File;
    bool read_only = !(st.st_mode & S_IWUSR) || (dos && (*dos & DosReadOnly));
    return {identity_of(st), kind, read_only};
}

// A walk down a deep tree holds a descriptor for every level. The soft limit is often 1,024, far
// below the hard one and below the depth a Windows tree can have: it is raised as far as allowed
// the first time it is reached.
bool raise_descriptor_limit()
{
    static bool raised = false;
    if (raised)
        return false;
    raised = true;
    struct rlimit limit { };
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max)
        return false;
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

int open_folder_at(int parent, std::string const& name)
{
    int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name.c_str(), flags);
    if (fd < 0 && errno == EMFILE && raise_descriptor_limit())
        fd = ::openat(parent, name.c_str(), flags);
    return fd;
}

} // namespace

std::shared_ptr<Folder::Notes> Folder::make_notes(native_file folder)
{
    return std::make_shared<Notes>(folder);
}

Result<Folder> Folder::borrow(native_file file, std::string const& shown)
{
    struct stat st { };
    if (::fstat(file, &st) != 0)
        return Error::from_errno("cannot examine the folder of " + in_quotes(shown), errno);
    return Folder(file, FileHandle(), facts_of(st, std::nullopt));
}

Result<Entry> open_entry(
    Folder& folder, std::string const& name, std::string const& shown, Purpose purpose, Request const&)
{
    struct stat st { };
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Error::from_errno(
            (purpose == Purpose::Delete ? "cannot delete " : "cannot examine ") + in_quotes(shown), errno);
    auto dos = S_ISLNK(st.st_mode) ? std::nullopt : folder.notes().attributes.read(name);
    return Entry {facts_of(st, dos), FileHandle()};
}

Result<std::optional<Folder>> enter(
    Folder& parent, std::string const& name, Entry& entry, std::string const& shown)
{
    FileHandle opened(open_folder_at(parent.get(), name));
    if (!opened.is_open()) {
        if (errno == ENOENT)
            return std::optional<Folder> {}; // it went meanwhile
        if (errno == ELOOP || errno == ENOTDIR)
            return replaced_error(shown, errno);
        return Error::from_errno("cannot open " + in_quotes(shown), errno);
    }
    struct stat st { };
    if (::fstat(opened.get(), &st) != 0 || identity_of(st) != entry.facts.identity)
        return replaced_error(shown, ESTALE);
    // A bind mount of a folder on the same file system passes every device check.
    auto& outer = parent.notes().mount;
    if (!outer)
        outer = mount_of(parent.get());
    auto inner = mount_of(opened.get());
    if (!outer || !inner)
        return Error::from_errno("cannot examine " + in_quotes(shown), errno);
    if (!outer->same_mount(*inner))
        return Error {in_quotes(shown) + " is a mount point", EXDEV};
    return std::optional<Folder> {Folder(std::move(opened), entry.facts)};
}

Result<std::vector<std::string>> list(Folder& folder)
{
    return list_directory(folder.get());
}

bool leads_to_folder(Folder& folder, std::string const& name, Entry const&)
{
    struct stat target { };
    return ::fstatat(folder.get(), name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
}

// A pass that could not look at every process may have missed some: the kernel tells of any
// process that holds the file open, where it lets us ask. A pass that saw them all is not asked
// again, since asking costs about a third of a deletion.
bool held_open(Folder& folder, std::string const& name, Entry const& entry, Request const& request)
{
    if (request.pass.sees_every_process())
        return false;
    struct stat st { };
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
        || identity_of(st) != entry.facts.identity)
        return false;
    return open_elsewhere(folder.get(), name, st) == OpenElsewhere::Yes;
}

Result<void> remove(Folder& folder, std::string const& name, FileHandle& handle, EntryFacts const& facts,
    std::string const& shown, Request const&)
{
    handle.reset();
    int flags = facts.kind == EntryKind::Folder ? AT_REMOVEDIR : 0;
    // An item that went meanwhile is as good as deleted.
    if (::unlinkat(folder.get(), name.c_str(), flags) != 0 && errno != ENOENT)
        return Error::from_errno("cannot delete " + in_quotes(shown), errno);
    return {};
}

Result<void> settle(Folder&, std::string const&, Request const&)
{
    return {};
}

bool is_pending(Folder&, std::string const&, Request const&)
{
    return false;
}

} // namespace sorrel::files::deletion
