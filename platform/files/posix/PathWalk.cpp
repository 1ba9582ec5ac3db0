#include "platform/files/WindowsPath.h"

#include "platform/files/NameMatch.h"

#include <cerrno>
#include <climits>
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

std::filesystem::path resolve_drive_folder(std::filesystem::path const& folder)
{
    std::error_code error;
    auto resolved = std::filesystem::canonical(folder, error);
    return error ? std::filesystem::path {} : resolved;
}

namespace {

std::filesystem::path link_target(int dir_fd, std::string const& name)
{
    std::string target(PATH_MAX, '\0');
    auto size = ::readlinkat(dir_fd, name.c_str(), target.data(), target.size());
    if (size < 0)
        return {};
    target.resize(static_cast<std::size_t>(size));
    return target;
}

// The drive's folder. Under DoNotFollow it is walked down from "/" as it led when the drive was
// bound, through no link: a link put in its place since then leads nowhere.
Result<FileHandle> open_drive_folder(DriveBinding const& drive, char letter, LinkPolicy policy, Link* link)
{
    auto not_ready = [&](int code) {
        return Error::from_errno(std::string("drive ") + letter + ": is not ready", code);
    };
    if (policy == LinkPolicy::Follow) {
        FileHandle folder(::open(drive.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder.is_open())
            return not_ready(errno);
        return folder;
    }
    auto resolved = drive.resolved.empty() ? resolve_drive_folder(drive.folder) : drive.resolved;
    if (resolved.empty())
        return not_ready(ENOENT);
    std::filesystem::path place = resolved.root_path();
    FileHandle folder(::open(place.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.is_open())
        return not_ready(errno);
    for (auto const& part : resolved.relative_path()) {
        place /= part;
        auto next = open_folder_in(folder.get(), part.string(), place, LinkPolicy::DoNotFollow, link);
        if (next.is_error())
            return next.error().code == ELOOP ? next.error() : not_ready(next.error().code);
        folder = next.release_value();
    }
    return folder;
}

} // namespace

Result<FileHandle> open_folder_in(
    int dir_fd, std::string const& name, std::filesystem::path const& place, LinkPolicy policy, Link* link)
{
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (policy == LinkPolicy::DoNotFollow ? O_NOFOLLOW : 0);
    FileHandle folder(::openat(dir_fd, name.c_str(), flags));
    if (folder.is_open())
        return folder;
    int code = errno;
    struct stat st { };
    if (code == ELOOP
        || (code == ENOTDIR && ::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISLNK(st.st_mode))) {
        if (link)
            *link = Link {place, link_target(dir_fd, name)};
        return Error {"\"" + place.string() + "\" is a link", ELOOP};
    }
    return Error::from_errno("cannot open \"" + place.string() + "\"", code);
}

Result<OpenedParent> open_parent(
    DriveMap const& drives, WindowsPath const& path, LinkPolicy policy, Link* link)
{
    auto const* drive = drives.binding(path.drive);
    if (!drive)
        return Error {std::string("drive ") + path.drive + ": is not there", ENODEV};

    OpenedParent opened;
    opened.drive_folder = drive->folder;
    auto drive_folder = open_drive_folder(*drive, path.drive, policy, link);
    if (drive_folder.is_error())
        return drive_folder.error();
    opened.directory = drive_folder.release_value();

    for (std::size_t i = 0; i < path.components.size(); ++i) {
        auto name = find_entry(opened.directory.get(), path.components[i]);
        if (name.is_error())
            return name.error();
        opened.names_on_disk.push_back(name.value());
        if (i + 1 == path.components.size()) {
            opened.name = name.release_value();
            break;
        }
        auto next = open_folder_in(opened.directory.get(), name.value(), opened.full_path(), policy, link);
        if (next.is_error())
            return next.error();
        opened.directory = next.release_value();
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
