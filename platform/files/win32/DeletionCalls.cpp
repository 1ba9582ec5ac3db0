#include "platform/files/DeletionCalls.h"

#include "platform/files/DeletionPass.h"
#include "platform/files/DeletionReport.h"
#include "platform/files/win32/WindowsFiles.h"

#include <algorithm>
#include <winternl.h>

namespace sorrel::files::deletion {

using namespace windows;

// Windows learns nothing about a folder that its entries' own handles don't tell.
struct Folder::Notes { };

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

// Where the system opens a link as its target (see opens_links_as_targets), deleting through the
// handle would delete the target: such a link stays and is named.
Error followed_link_error(std::string const& shown)
{
    return Error {
        in_quotes(shown) + " is a link that this system cannot delete without deleting its target", ELOOP};
}

EntryFacts facts_of(EntryInfo const& info)
{
    EntryKind kind = info.is_link() ? EntryKind::Link
        : info.is_folder()          ? EntryKind::Folder
                                    : EntryKind::File;
    return {info.identity, kind, info.is_read_only()};
}

// Marks the entry for deletion: at once where the file system can (the name goes now), else when
// its last handle closes.
DWORD dispose(HANDLE entry)
{
    DWORD error = set_information(
        entry, disposition_ex_class, DispositionEx {disposition_delete | disposition_posix_semantics});
    // Before Windows 10 the class is unknown (invalid parameter); some file systems don't do it.
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION
        && error != ERROR_CALL_NOT_IMPLEMENTED)
        return error;
    return set_information(entry, disposition_class, Disposition {TRUE});
}

// Whether the entry `name` of `folder` is deleted but keeps its name until another program lets go
// of it: the system says so, or, where it does not (Wine), the entry is one that we deleted.
bool counts_as_deleted(HANDLE folder, std::wstring const& name, std::vector<FileIdentity> const* deleted)
{
    if (is_deletion_pending(folder, name))
        return true;
    if (!deleted)
        return false;
    DWORD error = 0;
    auto entry = windows::open_entry(folder, name, FILE_READ_ATTRIBUTES, error);
    if (entry.is_error())
        return false;
    auto info = examine(entry.value().get());
    return info && std::find(deleted->begin(), deleted->end(), info->identity) != deleted->end();
}

bool holds_only_pending(HANDLE folder, std::vector<FileIdentity> const* deleted)
{
    auto entries = read_folder(folder);
    return !entries.is_error() && !entries.value().empty()
        && std::all_of(entries.value().begin(), entries.value().end(),
            [&](FolderEntry const& entry) { return counts_as_deleted(folder, entry.name, deleted); });
}

} // namespace

std::shared_ptr<Folder::Notes> Folder::make_notes(native_file)
{
    return std::make_shared<Notes>();
}

Result<Folder> Folder::borrow(native_file file, std::string const& shown)
{
    auto info = examine(file);
    if (!info)
        return system_error("cannot examine the folder of " + in_quotes(shown), GetLastError());
    return Folder(file, FileHandle(), facts_of(*info));
}

Result<Entry> open_entry(Folder& folder, std::string const& name, std::string const& shown, Purpose purpose,
    Request const& request)
{
    auto wide = to_wide(name);
    DWORD error = 0;
    auto access = purpose == Purpose::Delete ? delete_access(request.force) : walk_access;
    auto entry = windows::open_entry(folder.get(), wide, access, error);
    if (entry.is_error()) {
        if (purpose == Purpose::Delete && (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION))
            return in_use_error(shown);
        if (purpose == Purpose::Delete && error == ERROR_ACCESS_DENIED)
            return no_rights_error(shown);
        return system_error(
            (purpose == Purpose::Delete ? "cannot delete " : "cannot open ") + in_quotes(shown), error);
    }
    auto info = examine(entry.value().get());
    if (!info)
        return system_error("cannot examine " + in_quotes(shown), GetLastError());
    if (!info->is_link() && !is_entry_itself(folder.get(), entry.value().get(), wide))
        return followed_link_error(shown);
    return Entry {facts_of(*info), entry.release_value()};
}

// The entry was opened relative to its folder as itself, and opening it holds it: it is the
// folder to go into. A mounted volume is a reparse point and never gets here.
Result<std::optional<Folder>> enter(Folder&, std::string const&, Entry& entry, std::string const&)
{
    return std::optional<Folder> {Folder(std::move(entry.handle), entry.facts)};
}

Result<std::vector<std::string>> list(Folder& folder)
{
    auto entries = read_folder(folder.get());
    if (entries.is_error())
        return entries.error();
    std::vector<std::string> names;
    names.reserve(entries.value().size());
    for (auto const& entry : entries.value())
        names.push_back(to_utf8(entry.name));
    return names;
}

bool leads_to_folder(Folder&, std::string const&, Entry const& entry)
{
    auto info = examine(entry.handle.get());
    return info && info->is_folder();
}

// A file held by another program without sharing could not be opened for deletion at all.
bool held_open(Folder&, std::string const&, Entry const&, Request const&)
{
    return false;
}

Result<void> remove(Folder& folder, std::string const& name, FileHandle& handle, EntryFacts const& facts,
    std::string const& shown, Request const& request)
{
    if (facts.read_only && facts.kind != EntryKind::Link) {
        if (!request.force)
            return read_only_error(shown);
        auto info = examine(handle.get());
        FILE_BASIC_INFORMATION basic {}; // times of 0 stay as they are
        DWORD rest = (info ? info->attributes : 0) & ~FILE_ATTRIBUTE_READONLY;
        basic.FileAttributes = rest ? rest : FILE_ATTRIBUTE_NORMAL; // 0 would change nothing
        if (auto error = set_information(handle.get(), basic_information_class, basic);
            error != ERROR_SUCCESS)
            return system_error("cannot delete " + in_quotes(shown), error);
    }
    if (auto error = dispose(handle.get()); error != ERROR_SUCCESS) {
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return in_use_error(shown);
        if (error == ERROR_ACCESS_DENIED)
            return no_rights_error(shown);
        return system_error("cannot delete " + in_quotes(shown), error);
    }
    handle.reset(); // the name goes with the last handle
    // Another program's handle keeps the name for now; the entry counts as deleted.
    DWORD error = 0;
    if (auto again = windows::open_entry(folder.get(), to_wide(name), FILE_READ_ATTRIBUTES, error);
        !again.is_error() && request.pending) {
        auto still = examine(again.value().get());
        auto& pending = *request.pending;
        if (still && still->identity == facts.identity
            && std::find(pending.begin(), pending.end(), facts.identity) == pending.end())
            pending.push_back(facts.identity);
    }
    return {};
}

// Entries deleted while another program holds them keep their names, and the folder with them,
// until that program lets go: it gets a moment to. (Wine would take the folder's deletion
// meanwhile, then keep the folder for good.)
Result<void> settle(Folder& folder, std::string const& shown, Request const& request)
{
    for (int wait = 0; wait < pending_waits && holds_only_pending(folder.get(), request.pending); ++wait)
        Sleep(pending_wait_ms);
    if (holds_only_pending(folder.get(), request.pending))
        return Error {in_quotes(shown) + " waits for a program to let go of files deleted in it", EBUSY};
    return {};
}

bool is_pending(Folder& folder, std::string const& name, Request const& request)
{
    return counts_as_deleted(folder.get(), to_wide(name), request.pending);
}

} // namespace sorrel::files::deletion
