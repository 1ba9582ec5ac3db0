#include "platform/files/FileSystemObject.h"

#include "platform/files/Deleter.h"
#include "platform/files/DeletionReport.h"
#include "platform/files/NameMatch.h"
#include "platform/files/VersionReader.h"
#include "platform/files/WindowsPath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace sorrel::files {

Result<std::string> FileSystemObject::GetFileVersion(std::string_view path) const
{
    auto file = resolve(m_drives, path);
    if (file.is_error())
        return file.error();
    return read_file_version(file.value());
}

Result<void> FileSystemObject::DeleteFile(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::File, {});
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
        return Error::from_errno("cannot examine the folder of " + in_quotes(file.shown), errno);
    // A file is never a protected folder: no drive needs to be looked at.
    Deleter deleter({*pass, force}, {});
    return deleter.delete_file(*folder, file.name, file.shown);
}

bool FileSystemObject::is_deletion_pending(ListedFile const&) const
{
    return false;
}

Result<void> FileSystemObject::DeleteFolder(std::string_view path, bool force, DeletionPass const* pass,
    std::function<bool()> const& between_entries) const
{
    return remove(path, force, pass, Kind::Folder, between_entries);
}

std::vector<std::string> FileSystemObject::remaining_items(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error() || parsed.value().components.empty())
        return {std::string(path)};
    auto opened = open_parent(m_drives, parsed.value(), LinkPolicy::DoNotFollow);
    if (opened.is_error())
        return opened.error().code == ENOENT ? std::vector<std::string> {} : std::vector {std::string(path)};
    auto parent = deletion::Folder::borrow(opened.value().directory.get(), std::string(path));
    if (parent.is_error())
        return {std::string(path)};
    DeletionPass none;
    deletion::Request request {none};
    auto entry = deletion::open_entry(
        parent.value(), opened.value().name, std::string(path), deletion::Purpose::Look, request);
    if (entry.is_error())
        return entry.error().code == ENOENT ? std::vector<std::string> {} : std::vector {std::string(path)};
    if (entry.value().facts.kind != deletion::EntryKind::Folder)
        return {std::string(path)};
    auto folder = deletion::enter(parent.value(), opened.value().name, entry.value(), std::string(path));
    if (folder.is_error() || !folder.value())
        return folder.is_error() ? std::vector {std::string(path)} : std::vector<std::string> {};
    std::size_t pending = 0;
    auto items = remaining_in(*folder.value(), request, pending);
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

Result<void> FileSystemObject::remove(std::string_view path, bool force, DeletionPass const* pass, Kind kind,
    std::function<bool()> const& between_entries) const
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
    auto const& parent = opened.value();
    std::string shown(path);
    auto folder = deletion::Folder::borrow(parent.directory.get(), shown);
    if (folder.is_error())
        return folder.error();
    Deleter deleter({*pass, force}, protected_folders());
    if (kind == Kind::File)
        return deleter.delete_file(folder.value(), parent.name, shown);
    deleter.set_between_entries(&between_entries);
    return deleter.delete_folder(folder.value(), parent.name, shown);
}

} // namespace sorrel::files
