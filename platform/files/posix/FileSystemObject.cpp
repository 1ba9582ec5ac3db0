#include "platform/files/FileSystemObject.h"

#include "platform/files/VersionReader.h"
#include "platform/files/WindowsPath.h"
#include "platform/files/posix/Deleter.h"
#include "platform/files/posix/MountIdentity.h"

#include "platform/files/NameMatch.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace sorrel::files {

namespace {

// As deep as a deletion goes; what lies below is named by its deepest folder.
constexpr int max_listing_depth = 1024;

bool same_mount(int outer_fd, int inner_fd)
{
    auto outer = mount_of(outer_fd);
    auto inner = mount_of(inner_fd);
    return outer && inner && outer->same_mount(*inner);
}

void collect_items(
    int dir_fd, std::string const& prefix, dev_t device, int depth, std::vector<std::string>& out)
{
    auto names = list_directory(dir_fd);
    if (names.is_error())
        return;
    for (auto const& name : names.value()) {
        std::string item = prefix + shown_file_name(name);
        struct stat st { };
        if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            auto before = out.size();
            if (st.st_dev == device && depth < max_listing_depth) {
                FileDescriptor sub(
                    ::openat(dir_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                if (sub.is_open() && same_mount(dir_fd, sub.get()))
                    collect_items(sub.get(), item + "\\", device, depth + 1, out);
            }
            if (out.size() == before)
                out.push_back(item + "\\");
            continue;
        }
        out.push_back(std::move(item));
    }
}

} // namespace

Result<std::string> FileSystemObject::GetFileVersion(std::string_view path) const
{
    auto file = resolve(m_drives, path);
    if (file.is_error())
        return file.error();
    return read_file_version(file.value());
}

Result<void> FileSystemObject::DeleteFile(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::File);
}

Result<void> FileSystemObject::DeleteFile(ListedFile const& file, bool force, DeletionPass const* pass) const
{
    if (!file.folder || !file.folder->is_open() || file.name.empty() || file.name == "." || file.name == ".."
        || file.name.find('/') != std::string::npos)
        return Error {"\"" + file.shown + "\" is not a listed file", EINVAL};
    std::optional<DeletionPass> own_pass;
    if (!pass)
        pass = &own_pass.emplace(DeletionPass::scan());
    auto* folder = pass->open_folder(file.folder);
    if (!folder)
        return Error::from_errno("cannot examine the folder of \"" + file.shown + "\"", errno);
    // A file is never a protected folder: no drive needs to be looked at.
    Deleter deleter(*pass, force, {});
    return deleter.delete_file(folder->fd->get(), folder->device, folder->attributes, file.name, file.shown);
}

bool FileSystemObject::is_deletion_pending(ListedFile const&) const
{
    return false;
}

Result<void> FileSystemObject::DeleteFolder(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::Folder);
}

std::vector<std::string> FileSystemObject::remaining_items(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error() || parsed.value().components.empty())
        return {std::string(path)};
    auto opened = open_parent(m_drives, parsed.value(), LinkPolicy::DoNotFollow);
    if (opened.is_error())
        return opened.error().code == ENOENT ? std::vector<std::string> {} : std::vector {std::string(path)};
    auto const& parent = opened.value();
    struct stat st { };
    if (::fstatat(parent.directory.get(), parent.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? std::vector<std::string> {} : std::vector {std::string(path)};
    FileDescriptor folder(::openat(
        parent.directory.get(), parent.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.is_open())
        return {std::string(path)};
    std::vector<std::string> items;
    collect_items(folder.get(), {}, st.st_dev, 0, items);
    std::sort(
        items.begin(), items.end(), [](auto const& a, auto const& b) { return less_ignoring_case(a, b); });
    // An empty folder that stays is named by itself.
    if (items.empty())
        items.push_back(std::string(path));
    return items;
}

Result<void> FileSystemObject::DeleteAtRestart(std::string_view path) const
{
    return Error {
        "\"" + std::string(path) + "\" cannot be deleted at the next start: Linux has no such service",
        ENOSYS};
}

std::optional<FileSystemObject::Link> FileSystemObject::link_on_path(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return std::nullopt;
    auto opened = open_parent(m_drives, parsed.value(), LinkPolicy::Follow);
    if (opened.is_error())
        return std::nullopt;
    auto place = opened.value().drive_folder;
    for (auto const& name : opened.value().names_on_disk) {
        place /= name;
        std::error_code error;
        auto target = std::filesystem::read_symlink(place, error);
        if (!error)
            return Link {place, target};
    }
    return std::nullopt;
}

std::vector<FileIdentity> FileSystemObject::protected_folders() const
{
    std::vector<FileIdentity> folders;
    auto add = [&](std::filesystem::path const& folder) {
        struct stat st { };
        if (::stat(folder.c_str(), &st) == 0)
            folders.push_back({static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
    };
    add("/");
    for (auto const& binding : m_drives.bindings())
        add(binding.folder);
    return folders;
}

Result<void> FileSystemObject::remove(
    std::string_view path, bool force, DeletionPass const* pass, Kind kind) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    if (parsed.value().components.empty())
        return Error {"\"" + std::string(path) + "\" is the root folder of a drive", EPERM};
    // The scan comes first, so that the folders we open on the way are not taken for in use.
    std::optional<DeletionPass> own_pass;
    if (!pass)
        pass = &own_pass.emplace(DeletionPass::scan());
    auto opened = open_parent(m_drives, parsed.value(), LinkPolicy::DoNotFollow);
    if (opened.is_error())
        return opened.error();
    Deleter deleter(*pass, force, protected_folders());
    auto const& parent = opened.value();
    std::string shown(path);
    if (kind == Kind::File)
        return deleter.delete_file(parent.directory.get(), parent.name, shown);
    return deleter.delete_folder(parent.directory.get(), parent.name, shown);
}

} // namespace sorrel::files
