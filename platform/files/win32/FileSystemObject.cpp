#include "platform/files/FileSystemObject.h"

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

// The file information classes that delete through a handle. Every Windows NT has the disposition
// that deletes a file when its last handle closes; Windows 10 adds one that removes the name at
// once, which the headers offer only to programs that require Windows 10.
constexpr auto basic_information_class = static_cast<FILE_INFORMATION_CLASS>(4);
constexpr auto disposition_class = static_cast<FILE_INFORMATION_CLASS>(13);
constexpr auto disposition_ex_class = static_cast<FILE_INFORMATION_CLASS>(64);
struct Disposition {
    BOOLEAN delete_file;
};
struct DispositionEx {
    ULONG flags;
};
constexpr ULONG disposition_delete = 0x1;
constexpr ULONG disposition_posix_semantics = 0x2;

// Sets one kind of information of an open entry; the system's error code, or ERROR_SUCCESS.
template<typename Information>
DWORD set_information(HANDLE entry, FILE_INFORMATION_CLASS information_class, Information information)
{
    IO_STATUS_BLOCK io {};
    NTSTATUS status = NtSetInformationFile(entry, &io, &information, sizeof(information), information_class);
    return status < 0 ? RtlNtStatusToDosError(status) : ERROR_SUCCESS;
}

constexpr ACCESS_MASK walk_access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;

// How long a folder whose last entries wait for another program to let go of them is given, in
// steps, before it is reported as pending. The window waits meanwhile, so it stays short.
constexpr int pending_waits = 10;
constexpr DWORD pending_wait_ms = 100;

// What deleting an entry needs; changing a read-only item's attributes only when forced.
ACCESS_MASK delete_access(bool force)
{
    return DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | (force ? FILE_WRITE_ATTRIBUTES : 0);
}

bool is_gone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Where the system opens a link as its target (see opens_links_as_targets), deleting through the
// handle would delete the target: such a link stays and is named.
Error followed_link_error(std::string const& shown)
{
    return Error {
        in_quotes(shown) + " is a link that this system cannot delete without deleting its target", ELOOP};
}

// Whether the entry `name` of `folder` is deleted but keeps its name until another program lets go
// of it: the system says so, or, where it does not (Wine), the entry is one that we deleted.
bool counts_as_deleted(HANDLE folder, std::wstring const& name, std::vector<FileIdentity> const& deleted)
{
    if (is_deletion_pending(folder, name))
        return true;
    DWORD error = 0;
    auto entry = open_entry(folder, name, FILE_READ_ATTRIBUTES, error);
    if (entry.is_error())
        return false;
    auto info = examine(entry.value().get());
    return info && std::find(deleted.begin(), deleted.end(), info->identity) != deleted.end();
}

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

// Deletes through handles: every entry is opened relative to the folder handle it was listed in,
// as itself when it is a link, and deleted through its own handle. A folder swapped for a
// junction meanwhile is opened as that junction and goes as a link; nothing outside is reached.
class HandleDeleter {
public:
    // `pending` collects the entries deleted while another program held them.
    HandleDeleter(bool force, std::vector<FileIdentity> protected_folders, std::vector<FileIdentity>& pending)
        : m_force(force)
        , m_protected(std::move(protected_folders))
        , m_pending(pending)
    { }

    Result<void> delete_file(HANDLE parent, std::wstring const& name, std::string const& shown)
    {
        auto opened = open(parent, name, shown);
        if (opened.is_error())
            return opened.error();
        auto& [entry, info] = opened.value();
        if (info.is_folder() && !info.is_link())
            return Error {in_quotes(shown) + " is a folder", EISDIR};
        return remove(parent, name, entry, info, shown);
    }

    Result<void> delete_folder(HANDLE parent, std::wstring const& name, std::string const& shown)
    {
        auto opened = open(parent, name, shown);
        if (opened.is_error())
            return opened.error();
        auto& [entry, info] = opened.value();
        if (!info.is_folder())
            return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
        if (info.is_link())
            return remove(parent, name, entry, info, shown);
        m_last_folder = info.identity;
        return remove_folder(parent, name, entry, info, shown, 0);
    }

    // The folder that delete_folder removed last, when it was a folder and not a link.
    std::optional<FileIdentity> last_folder() const { return m_last_folder; }

private:
    struct OpenedEntry {
        Handle handle;
        EntryInfo info;
    };
    // `open_error` gets the system's reason when the entry could not be opened at all.
    Result<OpenedEntry> open(
        HANDLE parent, std::wstring const& name, std::string const& shown, DWORD* open_error = nullptr) const
    {
        DWORD error = 0;
        auto entry = open_entry(parent, name, delete_access(m_force), error);
        if (open_error)
            *open_error = entry.is_error() ? error : 0;
        if (entry.is_error() && (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION))
            return in_use_error(shown);
        if (entry.is_error() && error == ERROR_ACCESS_DENIED)
            return no_rights_error(shown);
        if (entry.is_error())
            return system_error("cannot delete " + in_quotes(shown), error);
        auto info = examine(entry.value().get());
        if (!info)
            return system_error("cannot examine " + in_quotes(shown), GetLastError());
        if (!info->is_link() && !is_entry_itself(parent, entry.value().get(), name))
            return followed_link_error(shown);
        return OpenedEntry {entry.release_value(), *info};
    }

    // A file, or a link of either kind, through its own handle; `name` in `parent`.
    Result<void> remove(HANDLE parent, std::wstring const& name, Handle& entry, EntryInfo const& info,
        std::string const& shown) const
    {
        if (info.is_read_only() && !info.is_link()) {
            if (!m_force)
                return read_only_error(shown);
            FILE_BASIC_INFORMATION basic {}; // times of 0 stay as they are
            DWORD rest = info.attributes & ~FILE_ATTRIBUTE_READONLY;
            basic.FileAttributes = rest ? rest : FILE_ATTRIBUTE_NORMAL; // 0 would change nothing
            if (auto error = set_information(entry.get(), basic_information_class, basic);
                error != ERROR_SUCCESS)
                return system_error("cannot delete " + in_quotes(shown), error);
        }
        if (auto error = dispose(entry.get()); error != ERROR_SUCCESS) {
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
                return in_use_error(shown);
            if (error == ERROR_ACCESS_DENIED)
                return no_rights_error(shown);
            return system_error("cannot delete " + in_quotes(shown), error);
        }
        entry.reset(); // the name goes with the last handle
        // Another program's handle keeps the name for now; the entry counts as deleted.
        DWORD error = 0;
        if (auto again = open_entry(parent, name, FILE_READ_ATTRIBUTES, error); !again.is_error()) {
            auto still = examine(again.value().get());
            if (still && still->identity == info.identity
                && std::find(m_pending.begin(), m_pending.end(), info.identity) == m_pending.end())
                m_pending.push_back(info.identity);
        }
        return {};
    }

    // Marks the entry for deletion: at once where the file system can (the name goes now), else
    // when its last handle closes.
    static DWORD dispose(HANDLE entry)
    {
        DWORD error = set_information(
            entry, disposition_ex_class, DispositionEx {disposition_delete | disposition_posix_semantics});
        // Before Windows 10 the class is unknown (invalid parameter); some file systems don't do it.
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED
            && error != ERROR_INVALID_FUNCTION && error != ERROR_CALL_NOT_IMPLEMENTED)
            return error;
        return set_information(entry, disposition_class, Disposition {TRUE});
    }

    Result<void> remove_folder(HANDLE parent, std::wstring const& name, Handle& folder, EntryInfo const& info,
        std::string const& shown, int depth)
    {
        if (std::find(m_protected.begin(), m_protected.end(), info.identity) != m_protected.end())
            return Error {in_quotes(shown) + " is the root folder of a drive", EPERM};
        if (depth >= max_deletion_depth)
            return Error {in_quotes(shown) + " lies too deep", ENAMETOOLONG};
        if (info.is_read_only() && !m_force)
            return read_only_error(shown);
        if (auto contents = remove_contents(folder.get(), info, shown, depth); contents.is_error())
            return contents;
        // Entries deleted while another program holds them keep their names, and the folder with
        // them, until that program lets go: it gets a moment to. (Wine would take the folder's
        // deletion meanwhile, then keep the folder for good.)
        for (int wait = 0; wait < pending_waits && holds_only_pending(folder.get()); ++wait)
            Sleep(pending_wait_ms);
        if (holds_only_pending(folder.get()))
            return Error {in_quotes(shown) + " waits for a program to let go of files deleted in it", EBUSY};
        return remove(parent, name, folder, info, shown);
    }

    bool holds_only_pending(HANDLE folder) const
    {
        auto entries = read_folder(folder);
        return !entries.is_error() && !entries.value().empty()
            && std::all_of(entries.value().begin(), entries.value().end(),
                [&](FolderEntry const& entry) { return counts_as_deleted(folder, entry.name, m_pending); });
    }

    Result<void> remove_contents(HANDLE folder, EntryInfo const& info, std::string const& shown, int depth)
    {
        auto entries = read_folder(folder);
        if (entries.is_error())
            return Error {
                "cannot read " + in_quotes(shown) + ": " + entries.error().message, entries.error().code};
        DeletionFailures failures;
        for (auto const& listed : entries.value()) {
            std::string item = shown + "\\" + to_utf8(listed.name);
            DWORD error = 0;
            auto entry = open(folder, listed.name, item, &error);
            if (entry.is_error()) {
                if (!is_gone(error)) // an item that vanished meanwhile is as good as deleted
                    failures.add(entry.error());
                continue;
            }
            auto& [handle, child] = entry.value();
            if (child.identity.device != info.identity.device && !child.is_link()) {
                failures.add(Error {in_quotes(item) + " is on another file system", EXDEV});
                continue;
            }
            auto removed = child.is_folder() && !child.is_link()
                ? remove_folder(folder, listed.name, handle, child, item, depth + 1)
                : remove(folder, listed.name, handle, child, item);
            if (removed.is_error())
                failures.add(removed.error());
        }
        return failures.result(shown);
    }

    bool m_force {false};
    std::vector<FileIdentity> m_protected;
    std::optional<FileIdentity> m_last_folder;
    std::vector<FileIdentity>& m_pending;
};

// What a folder still holds; an entry whose deletion is pending counts in `pending` instead.
void collect_items(HANDLE folder, std::string const& prefix, int depth,
    std::vector<FileIdentity> const& deleted, std::vector<std::string>& out, std::size_t& pending)
{
    auto entries = read_folder(folder);
    if (entries.is_error())
        return;
    for (auto const& listed : entries.value()) {
        if (counts_as_deleted(folder, listed.name, deleted)) {
            ++pending;
            continue;
        }
        std::string item = prefix + shown_file_name(to_utf8(listed.name));
        bool is_folder = (listed.attributes & FILE_ATTRIBUTE_DIRECTORY)
            && !(listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (!is_folder) {
            out.push_back(std::move(item));
            continue;
        }
        auto before = out.size();
        DWORD error = 0;
        if (depth < max_deletion_depth) {
            auto sub = open_entry(folder, listed.name, walk_access, error);
            if (!sub.is_error() && is_entry_itself(folder, sub.value().get(), listed.name))
                collect_items(sub.value().get(), item + "\\", depth + 1, deleted, out, pending);
        }
        if (out.size() == before && !is_gone(error))
            out.push_back(item + "\\");
    }
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
    return remove(path, force, pass, Kind::File);
}

Result<void> FileSystemObject::DeleteFile(ListedFile const& file, bool force, DeletionPass const*) const
{
    HANDLE folder = file.folder && file.folder->is_open() ? handle_of(file.folder->get()) : nullptr;
    if (!folder || file.name.empty() || file.name == "." || file.name == ".."
        || file.name.find_first_of("/\\") != std::string::npos)
        return Error {in_quotes(file.shown) + " is not a listed file", EINVAL};
    // A file is never a protected folder: no drive needs to be looked at.
    HandleDeleter deleter(force, {}, m_deletion_pending);
    return deleter.delete_file(folder, to_wide(file.name), file.shown);
}

bool FileSystemObject::is_deletion_pending(ListedFile const& file) const
{
    HANDLE folder = file.folder && file.folder->is_open() ? handle_of(file.folder->get()) : nullptr;
    return folder && !file.name.empty() && counts_as_deleted(folder, to_wide(file.name), m_deletion_pending);
}

Result<void> FileSystemObject::DeleteFolder(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::Folder);
}

std::vector<std::string> FileSystemObject::remaining_items(std::string_view path) const
{
    std::string shown(path);
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error() || parsed.value().components.empty())
        return {shown};
    auto folder = open_folder_through_no_link(m_drives, parsed.value(), shown);
    if (folder.is_error())
        return folder.error().code == ENOENT ? std::vector<std::string> {} : std::vector {shown};
    auto info = examine(folder.value().get());
    if (!info)
        return {shown};
    std::vector<std::string> items;
    std::size_t pending_entries = 0;
    collect_items(folder.value().get(), {}, 0, m_deletion_pending, items, pending_entries);
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

Result<void> FileSystemObject::remove(std::string_view path, bool force, DeletionPass const*, Kind kind) const
{
    std::string shown(path);
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    if (parsed.value().components.empty())
        return Error {in_quotes(shown) + " is the root folder of a drive", EPERM};
    auto parent = open_parent_folder(m_drives, parsed.value(), shown);
    if (parent.is_error())
        return parent.error();
    HandleDeleter deleter(force, protected_folders(), m_deletion_pending);
    auto const& [folder, name] = parent.value();
    if (kind == Kind::File)
        return deleter.delete_file(folder.get(), name, shown);
    auto deleted = deleter.delete_folder(folder.get(), name, shown);
    if (!deleted.is_error() && deleter.last_folder())
        m_deletion_pending.push_back(*deleter.last_folder());
    return deleted;
}

} // namespace sorrel::files
