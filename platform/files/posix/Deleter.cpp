#include "platform/files/posix/Deleter.h"

#include "platform/files/DeletionReport.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/NameMatch.h"
#include "platform/files/posix/MountIdentity.h"
#include "platform/files/posix/OpenCheck.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace sorrel::files {

namespace {

FileIdentity identity_of(struct stat const& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace

bool Deleter::is_protected(struct stat const& st) const
{
    return std::find(m_protected.begin(), m_protected.end(), identity_of(st)) != m_protected.end();
}

// A pass that could not look at every process may have missed some: the kernel tells of any
// process that holds the file open, where it lets us ask. A pass that saw them all is not asked
// again, since asking costs about a third of a deletion.
std::optional<Error> Deleter::held_open(
    int dir_fd, std::string const& name, struct stat const& st, std::string const& shown) const
{
    if (m_pass.sees_every_process() || !S_ISREG(st.st_mode)
        || open_elsewhere(dir_fd, name, st) != OpenElsewhere::Yes)
        return std::nullopt;
    return in_use_error(shown);
}

// Why the item may not go, judged from its own attributes: root ignores permission bits, so a
// failing unlink can't tell us an item is read-only.
std::optional<Error> Deleter::refuse(struct stat const& st, std::optional<std::uint32_t> dos,
    std::string const& shown, std::uint64_t device) const
{
    if (static_cast<std::uint64_t>(st.st_dev) != device)
        return Error {in_quotes(shown) + " is on another file system", EXDEV};
    if (S_ISLNK(st.st_mode))
        return std::nullopt; // a link goes as a link; its target is never looked at
    if (!m_force && (!(st.st_mode & S_IWUSR) || (dos && (*dos & DosReadOnly))))
        return read_only_error(shown);
    if (m_pass.is_in_use(identity_of(st)))
        return in_use_error(shown);
    return std::nullopt;
}

Result<void> Deleter::delete_file(int parent_fd, std::string const& name, std::string const& shown)
{
    struct stat parent { };
    if (::fstat(parent_fd, &parent) != 0)
        return Error::from_errno("cannot examine the folder of " + in_quotes(shown), errno);
    DosAttributeReader attributes(parent_fd);
    return delete_file(parent_fd, static_cast<std::uint64_t>(parent.st_dev), attributes, name, shown);
}

Result<void> Deleter::delete_file(int parent_fd, std::uint64_t parent_device, DosAttributeReader& attributes,
    std::string const& name, std::string const& shown)
{
    struct stat st { };
    if (::fstatat(parent_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Error::from_errno("cannot delete " + in_quotes(shown), errno);
    if (S_ISDIR(st.st_mode))
        return Error {in_quotes(shown) + " is a folder", EISDIR};
    if (auto refusal = refuse(st, attributes.read(name), shown, parent_device))
        return *refusal;
    if (auto busy = held_open(parent_fd, name, st, shown))
        return *busy;
    if (::unlinkat(parent_fd, name.c_str(), 0) != 0)
        return Error::from_errno("cannot delete " + in_quotes(shown), errno);
    return {};
}

Result<void> Deleter::delete_folder(int parent_fd, std::string const& name, std::string const& shown)
{
    struct stat parent { };
    struct stat st { };
    if (::fstat(parent_fd, &parent) != 0)
        return Error::from_errno("cannot examine the folder of " + in_quotes(shown), errno);
    if (::fstatat(parent_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Error::from_errno("cannot delete " + in_quotes(shown), errno);
    if (S_ISLNK(st.st_mode)) {
        struct stat target { };
        if (::fstatat(parent_fd, name.c_str(), &target, 0) != 0 || !S_ISDIR(target.st_mode))
            return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
        if (::unlinkat(parent_fd, name.c_str(), 0) != 0)
            return Error::from_errno("cannot delete " + in_quotes(shown), errno);
        return {};
    }
    if (!S_ISDIR(st.st_mode))
        return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
    if (static_cast<std::uint64_t>(st.st_dev) != static_cast<std::uint64_t>(parent.st_dev))
        return Error {in_quotes(shown) + " is the root of another file system", EXDEV};
    DosAttributeReader attributes(parent_fd);
    return remove_folder(parent_fd, name, st, attributes.read(name), shown, 0);
}

Result<void> Deleter::remove_folder(int parent_fd, std::string const& name, struct stat const& st,
    std::optional<std::uint32_t> dos, std::string const& shown, int depth)
{
    if (is_protected(st))
        return Error {in_quotes(shown) + " is the root folder of a drive", EPERM};
    if (depth >= max_deletion_depth)
        return Error {in_quotes(shown) + " lies too deep", ENAMETOOLONG};
    auto device = static_cast<std::uint64_t>(st.st_dev);
    if (auto refusal = refuse(st, dos, shown, device))
        return *refusal;

    FileDescriptor folder(::openat(parent_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened { };
    if (!folder.is_open()) {
        if (errno == ENOENT)
            return {}; // it went meanwhile
        if (errno == ELOOP || errno == ENOTDIR)
            return replaced_error(shown, errno);
        return Error::from_errno("cannot open " + in_quotes(shown), errno);
    }
    if (::fstat(folder.get(), &opened) != 0 || identity_of(opened) != identity_of(st))
        return replaced_error(shown, ESTALE);
    // A bind mount of a folder on the same file system passes every device check.
    auto outer_mount = mount_of(parent_fd);
    auto inner_mount = mount_of(folder.get());
    if (!outer_mount || !inner_mount)
        return Error::from_errno("cannot examine " + in_quotes(shown), errno);
    if (!outer_mount->same_mount(*inner_mount))
        return Error {in_quotes(shown) + " is a mount point", EXDEV};

    if (auto contents = remove_contents(folder.get(), device, shown, depth); contents.is_error())
        return contents;
    folder.reset();
    if (::unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        return Error::from_errno("cannot delete " + in_quotes(shown), errno);
    return {};
}

Result<void> Deleter::remove_contents(int dir_fd, std::uint64_t device, std::string const& shown, int depth)
{
    auto names = list_directory(dir_fd);
    if (names.is_error())
        return Error {"cannot read " + in_quotes(shown) + ": " + names.error().message, names.error().code};
    DosAttributeReader attributes(dir_fd);
    DeletionFailures failures;
    for (auto const& name : names.value()) {
        std::string item = shown + "\\" + name;
        struct stat st { };
        if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) // an item that vanished meanwhile is as good as deleted
                failures.add(Error::from_errno("cannot examine " + in_quotes(item), errno));
            continue;
        }
        auto dos = S_ISLNK(st.st_mode) ? std::nullopt : attributes.read(name);
        if (S_ISDIR(st.st_mode)) {
            if (static_cast<std::uint64_t>(st.st_dev) != device) {
                failures.add(Error {in_quotes(item) + " is on another file system", EXDEV});
                continue;
            }
            if (auto removed = remove_folder(dir_fd, name, st, dos, item, depth + 1); removed.is_error())
                failures.add(removed.error());
            continue;
        }
        if (auto refusal = refuse(st, dos, item, device);
            refusal || (refusal = held_open(dir_fd, name, st, item))) {
            failures.add(*refusal);
            continue;
        }
        if (::unlinkat(dir_fd, name.c_str(), 0) != 0 && errno != ENOENT)
            failures.add(Error::from_errno("cannot delete " + in_quotes(item), errno));
    }
    return failures.result(shown);
}

} // namespace sorrel::files
