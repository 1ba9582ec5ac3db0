#include "platform/files/FileSystemObject.h"

#include "platform/files/Deleter.h"
#include "platform/files/DeletionReport.h"
#include "platform/files/NameMatch.h"
#include "platform/files/VersionReader.h"
#include "platform/files/win32/WindowsFiles.h"

#include <algorithm>
#include <winternl.h>

#undef DeleteFile // windows.h's name for DeleteFileA

namespace sorrel::files {

using namespace windows;

namespace {

constexpr ACCESS_MASK walk_access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;

// The folder holding a path's last item, walked from its drive's folder through no link.
struct ParentFolder {
    Handle folder;
    std::wstring name; // the last item; empty for the drive's root
};

Result<ParentFolder> open_parent_folder(
    DriveMap const& drives, WindowsPath const& path, std::string const& shown)
{
    auto const* drive_folder = drives.folder(path.drive);
    if (!drive_folder)
        return Error {std::string("drive ") + path.drive + ": is not there", ENODEV};
    // The drive's own folder is opened as configured, links included: that binding is the user's.
    auto opened = open_folder(full_path(*drive_folder, {}), std::string(1, path.drive) + ":");
    if (opened.is_error())
        return opened.error();
    ParentFolder parent {opened.release_value(), {}};
    for (std::size_t i = 0; i < path.components.size(); ++i) {
        auto name = to_wide(path.components[i]);
        if (i + 1 == path.components.size()) {
            parent.name = std::move(name);
            break;
        }
        DWORD error = 0;
        auto next = open_entry(parent.folder.get(), name, walk_access, error);
        if (next.is_error())
            return system_error("cannot open " + in_quotes(shown), error);
        auto info = examine(next.value().get());
        if (!info)
            return system_error("cannot examine " + in_quotes(shown), GetLastError());
        if (info->is_link() || !is_entry_itself(parent.folder.get(), next.value().get(), name))
            return Error {
                in_quotes(path.components[i]) + " on the way to " + in_quotes(shown) + " is a link", ELOOP};
        if (!info->is_folder())
            return Error {in_quotes(shown) + " does not exist", ENOENT};
        parent.folder = next.release_value();
    }
    return parent;
}

} // namespace

Result<Handle> windows::open_folder_through_no_link(
    DriveMap const& drives, WindowsPath const& path, std::string const& shown)
{
    auto parent = open_parent_folder(drives, path, shown);
    if (parent.is_error())
        return parent.error();
    auto& [parent_folder, name] = parent.value();
    if (name.empty())
        return std::move(parent_folder);
    DWORD error = 0;
    auto folder = open_entry(parent_folder.get(), name, walk_access, error);
    if (folder.is_error())
        return system_error("cannot open " + in_quotes(shown), error);
    auto info = examine(folder.value().get());
    if (!info)
        return system_error("cannot examine " + in_quotes(shown), GetLastError());
    if (info->is_link() || !is_entry_itself(parent_folder.get(), folder.value().get(), name))
        return Error {in_quotes(shown) + " is a link", ELOOP};
    if (!info->is_folder())
        return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
    return folder;
}

Result<std::string> FileSystemObject::GetFileVersion(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    auto file = full_path(m_drives, parsed.value());
    if (file.is_error())
        return file.error();
    return read_file_version(std::filesystem::path(file.value()));
}

Result<void> FileSystemObject::DeleteFile(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::File, {});
}

Result<void> FileSystemObject::DeleteFile(ListedFile const& file, bool force, DeletionPass const* pass) const
{
    if (!file.folder || !file.folder->is_open() || file.name.empty() || file.name == "." || file.name == ".."
        || file.name.find_first_of("/\\") != std::string::npos)
        return Error {in_quotes(file.shown) + " is not a listed file", EINVAL};
    std::optional<DeletionPass> own_pass;
    if (!pass)
        pass = &own_pass.emplace(DeletionPass::scan());
    auto* folder = pass->open_folder(file.folder);
    if (!folder)
        return system_error("cannot examine the folder of " + in_quotes(file.shown), GetLastError());
    // A file is never a protected folder: no drive needs to be looked at.
    Deleter deleter({*pass, force, &m_deletion_pending}, {});
    return deleter.delete_file(*folder, file.name, file.shown);
}

bool FileSystemObject::is_deletion_pending(ListedFile const& file) const
{
    if (!file.folder || !file.folder->is_open() || file.name.empty())
        return false;
    auto folder = deletion::Folder::borrow(file.folder->get(), file.shown);
    DeletionPass none;
    return !folder.is_error()
        && deletion::is_pending(folder.value(), file.name, {none, false, &m_deletion_pending});
}

Result<void> FileSystemObject::DeleteFolder(std::string_view path, bool force, DeletionPass const* pass,
    std::function<bool()> const& between_entries) const
{
    return remove(path, force, pass, Kind::Folder, between_entries);
}

std::vector<std::string> FileSystemObject::remaining_items(std::string_view path) const
{
    std::string shown(path);
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error() || parsed.value().components.empty())
        return {shown};
    auto opened = open_folder_through_no_link(m_drives, parsed.value(), shown);
    if (opened.is_error())
        return opened.error().code == ENOENT ? std::vector<std::string> {} : std::vector {shown};
    auto info = examine(opened.value().get());
    if (!info)
        return {shown};
    deletion::Folder folder(opened.release_value(), {info->identity, deletion::EntryKind::Folder, false});
    DeletionPass none;
    std::size_t pending_entries = 0;
    auto items = remaining_in(folder, {none, false, &m_deletion_pending}, pending_entries);
    std::sort(
        items.begin(), items.end(), [](auto const& a, auto const& b) { return less_ignoring_case(a, b); });
    // An empty folder that stays is named by itself, unless it only waits for another handle to close.
    bool pending = std::find(m_deletion_pending.begin(), m_deletion_pending.end(), info->identity)
        != m_deletion_pending.end();
    // One that holds only entries waiting for another program to let go of them is not kept by
    // anything Sorrel could do now: it is named as pending.
    if (items.empty() && !pending)
        items.push_back(pending_entries > 0 ? shown + " (deletion pending)" : shown);
    return items;
}

Result<void> FileSystemObject::DeleteAtRestart(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    if (parsed.value().components.empty())
        return Error {in_quotes(std::string(path)) + " is the root folder of a drive", EPERM};
    auto full = full_path(m_drives, parsed.value());
    if (full.is_error())
        return full.error();
    // The list of deletions at the next start is in HKLM: only administrators may add to it.
    if (!MoveFileExW(full.value().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return system_error(
            "cannot have " + in_quotes(std::string(path)) + " deleted at the next start", GetLastError());
    return {};
}

std::optional<FileSystemObject::Link> FileSystemObject::link_on_path(std::string_view path) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return std::nullopt;
    auto const* drive_folder = m_drives.folder(parsed.value().drive);
    if (!drive_folder)
        return std::nullopt;
    auto const& components = parsed.value().components;
    // A path that leads nowhere has no link to name, even when a link lies on its way.
    if (GetFileAttributesW(full_path(*drive_folder, components).c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    for (std::size_t i = 1; i <= components.size(); ++i) {
        std::vector<std::string> leading(
            components.begin(), components.begin() + static_cast<std::ptrdiff_t>(i));
        auto place = full_path(*drive_folder, leading);
        DWORD attributes = GetFileAttributesW(place.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        auto shown = *drive_folder;
        for (auto const& name : leading)
            shown /= std::filesystem::path(to_wide(name));
        std::filesystem::path target;
        if (auto followed = open_folder(place, shown.string()); !followed.is_error()) {
            if (auto final = final_path(followed.value().get()))
                target = shown_path(*final);
        }
        return Link {shown, target};
    }
    return std::nullopt;
}

std::vector<FileIdentity> FileSystemObject::protected_folders() const
{
    std::vector<FileIdentity> folders;
    for (auto const& binding : m_drives.bindings()) {
        auto folder = open_folder(full_path(binding.folder, {}), binding.name());
        if (folder.is_error())
            continue;
        if (auto info = examine(folder.value().get()))
            folders.push_back(info->identity);
    }
    return folders;
}

Result<void> FileSystemObject::remove(std::string_view path, bool force, DeletionPass const* pass, Kind kind,
    std::function<bool()> const& between_entries) const
{
    std::string shown(path);
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    if (parsed.value().components.empty())
        return Error {in_quotes(shown) + " is the root folder of a drive", EPERM};
    std::optional<DeletionPass> own_pass;
    if (!pass)
        pass = &own_pass.emplace(DeletionPass::scan());
    auto parent = open_parent_folder(m_drives, parsed.value(), shown);
    if (parent.is_error())
        return parent.error();
    auto folder = deletion::Folder::borrow(parent.value().folder.get(), shown);
    if (folder.is_error())
        return folder.error();
    Deleter deleter({*pass, force, &m_deletion_pending}, protected_folders());
    auto name = to_utf8(parent.value().name);
    if (kind == Kind::File)
        return deleter.delete_file(folder.value(), name, shown);
    deleter.set_between_entries(&between_entries);
    auto deleted = deleter.delete_folder(folder.value(), name, shown);
    if (!deleted.is_error() && deleter.last_folder())
        m_deletion_pending.push_back(*deleter.last_folder());
    return deleted;
}

} // namespace sorrel::files
