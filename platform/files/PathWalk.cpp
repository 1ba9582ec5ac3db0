#include "platform/files/WindowsPath.h"

#include "platform/files/NameMatch.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::files {

Result<std::vector<std::string>> list_directory(int dir_fd)
{
    int fd = ::openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Error::from_errno("cannot open the folder", errno);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        int code = errno;
        ::close(fd);
        return Error::from_errno("cannot open the folder", code);
    }
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
        errno = 0;
    }
    int code = errno;
    ::closedir(dir);
    if (code != 0)
        return Error::from_errno("cannot read the folder", code);
    return names;
}

Result<std::string> find_entry(int dir_fd, std::string_view name)
{
    std::string wanted(name);
    if (wanted.empty() || wanted.find('\0') != std::string::npos || wanted.find('/') != std::string::npos)
        return Error {"\"" + wanted + "\" is not a valid name", EINVAL};
    struct stat st { };
    if (::fstatat(dir_fd, wanted.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return wanted;
    if (errno != ENOENT)
        return Error::from_errno("cannot examine \"" + wanted + "\"", errno);

    auto names = list_directory(dir_fd);
    if (names.is_error())
        return names.error();
    auto folded = fold_case(wanted);
    std::string found;
    int matches = 0;
    for (auto const& candidate : names.value()) {
        if (fold_case(candidate) == folded) {
            found = candidate;
            ++matches;
        }
    }
    if (matches == 0)
        return Error {"\"" + wanted + "\" does not exist", ENOENT};
    if (matches > 1)
        return Error {"\"" + wanted + "\" matches several names that differ only in case", EEXIST};
    return found;
}

std::filesystem::path OpenedParent::full_path() const
{
    auto path = drive_folder;
    for (auto const& name : names_on_disk)
        path /= name;
    return path;
}

Result<OpenedParent> open_parent(DriveMap const& drives, WindowsPath const& path, LinkPolicy policy)
{
    auto const* folder = drives.folder(path.drive);
    if (!folder)
        return Error {std::string("drive ") + path.drive + ": is not there", ENODEV};

    OpenedParent opened;
    opened.drive_folder = *folder;
    // The drive's own folder is opened as configured, links included: that binding is the user's.
    opened.directory = FileDescriptor(::open(folder->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.directory.is_open())
        return Error::from_errno(std::string("drive ") + path.drive + ": is not ready", errno);

    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (policy == LinkPolicy::DoNotFollow ? O_NOFOLLOW : 0);
    for (std::size_t i = 0; i < path.components.size(); ++i) {
        auto name = find_entry(opened.directory.get(), path.components[i]);
        if (name.is_error())
            return name.error();
        opened.names_on_disk.push_back(name.value());
        if (i + 1 == path.components.size()) {
            opened.name = name.release_value();
            break;
        }
        FileDescriptor next(::openat(opened.directory.get(), name.value().c_str(), flags));
        if (!next.is_open()) {
            int code = errno;
            struct stat st { };
            if (code == ELOOP
                || (code == ENOTDIR
                    && ::fstatat(opened.directory.get(), name.value().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                    && S_ISLNK(st.st_mode)))
                return Error {"\"" + opened.full_path().string() + "\" is a link", ELOOP};
            return Error::from_errno("cannot open \"" + opened.full_path().string() + "\"", code);
        }
        opened.directory = std::move(next);
    }
    return opened;
}

Result<std::filesystem::path> resolve(DriveMap const& drives, std::string_view windows_path)
{
    auto parsed = WindowsPath::parse(windows_path);
    if (parsed.is_error())
        return parsed.error();
    auto opened = open_parent(drives, parsed.value(), LinkPolicy::Follow);
    if (opened.is_error())
        return opened.error();
    return opened.value().full_path();
}

} // namespace sorrel::files
