#include "platform/files/FolderReading.h"

#include "platform/files/DosAttributes.h"
#include "platform/files/NameMatch.h"
#include "platform/files/WindowsPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace sorrel::files {

Result<FileDescriptor> open_listed_folder(DriveMap const& drives, std::string_view path)
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    auto opened = open_parent(drives, parsed.value(), LinkPolicy::Follow);
    if (opened.is_error())
        return opened.error();
    auto& parent = opened.value();
    if (parent.name.empty())
        return std::move(parent.directory);
    FileDescriptor folder(
        ::openat(parent.directory.get(), parent.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.is_open())
        return Error::from_errno("cannot open \"" + std::string(path) + "\"", errno);
    return folder;
}

std::vector<std::string> plain_file_names(int folder_fd)
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

std::optional<FileIdentity> identity_of_folder(int folder_fd)
{
    struct stat st { };
    if (::fstat(folder_fd, &st) != 0)
        return std::nullopt;
    return FileIdentity {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace sorrel::files
