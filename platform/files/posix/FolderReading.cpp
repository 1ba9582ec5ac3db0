#include "platform/files/FolderReading.h"

#include "platform/files/NameMatch.h"
#include "platform/files/WindowsPath.h"
#include "platform/files/posix/DosAttributes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace sorrel::files {

namespace {

Result<FileHandle> open_folder(DriveMap const& drives, WindowsPath const& path, LinkPolicy policy, Link* link)
{
    auto opened = open_parent(drives, path, policy, link);
    if (opened.is_error())
        return opened.error();
    auto& parent = opened.value();
    if (parent.name.empty())
        return std::move(parent.directory);
    return open_folder_in(parent.directory.get(), parent.name, parent.full_path(), policy, link);
}

} // namespace

Result<FileHandle> open_listed_folder(
    DriveMap const& drives, std::string_view path, std::optional<Link>& link)
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    Link met;
    auto folder = open_folder(drives, parsed.value(), LinkPolicy::DoNotFollow, &met);
    if (folder.is_error() && folder.error().code == ELOOP) {
        // No folder behind the link is a missing folder, as it would be without one.
        if (auto followed = open_folder(drives, parsed.value(), LinkPolicy::Follow, nullptr);
            followed.is_error())
            return followed.error();
        link = std::move(met);
    }
    return folder;
}

std::vector<std::string> plain_file_names(native_file folder_fd)
{
    std::vector<std::string> files;
    auto names = list_directory(folder_fd);
    if (names.is_error())
        return files;
    DosAttributeReader attributes(folder_fd);
    for (auto& name : names.value()) {
        if (name.starts_with('.'))
            continue;
        struct stat st { };
        if (::fstatat(folder_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (auto dos = attributes.read(name); dos && (*dos & (DosHidden | DosSystem)))
            continue;
        files.push_back(std::move(name));
    }
    return files;
}

std::optional<FileIdentity> identity_of_folder(native_file folder_fd)
{
    struct stat st { };
    if (::fstat(folder_fd, &st) != 0)
        return std::nullopt;
    return FileIdentity {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace sorrel::files
