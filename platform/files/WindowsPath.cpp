#include "platform/files/WindowsPath.h"

#include "platform/files/NameMatch.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace sorrel::files {

Result<WindowsPath> WindowsPath::parse(std::string_view text)
{
    auto quoted = "\"" + std::string(text) + "\"";
    if (text.size() < 2 || !drive_letter(text[0]) || text[1] != ':')
        return Error {quoted + " does not start with a drive", EINVAL};
    if (text.find('\0') != std::string_view::npos)
        return Error {quoted + " is not a valid path", EINVAL};
    auto rest = text.substr(2);
    // "c:folder" would be relative to the drive's current folder, which we don't have.
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/')
        return Error {quoted + " is not a full path", EINVAL};

    WindowsPath path;
    path.drive = drive_letter(text[0]);
    while (!rest.empty()) {
        auto end = rest.find_first_of("\\/");
        auto component = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view {} : rest.substr(end + 1);
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            if (!path.components.empty())
                path.components.pop_back();
            continue;
        }
        path.components.emplace_back(component);
    }
    return path;
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
