#pragma once

// The calls to the system under the deleter (posix/DeletionCalls.cpp, win32/DeletionCalls.cpp):
// entries are opened and looked at relative to an open folder, never through a link, and removed
// there. The rules that decide what may go are the deleter's, the same on every system.

#include "platform/files/DriveDiscovery.h"
#include "platform/files/FileHandle.h"
#include "platform/files/Result.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::files {
class DeletionPass;
}

namespace sorrel::files::deletion {

enum class EntryKind {
    File,
    Folder,
    Link, // a symbolic link, junction or other reparse point: it goes as itself
};

struct EntryFacts {
    FileIdentity identity;
    EntryKind kind {EntryKind::File};
    bool read_only {false};
};

// An entry as it was found in its folder. Where the system deletes through a handle (Windows),
// the entry is held open from the look until its removal; elsewhere the handle stays closed.
struct Entry {
    EntryFacts facts;
    FileHandle handle;
};

// A folder that the deletion works in, held open, with what the system learns about it once
// (POSIX: how it keeps DOS attributes; its mount).
class Folder {
public:
    // The folder `file`, which someone else keeps open as long as this one lives.
    static Result<Folder> borrow(native_file file, std::string const& shown);
    Folder(FileHandle owned, EntryFacts const& facts)
        : Folder(owned.get(), std::move(owned), facts)
    { }

    native_file get() const { return m_file; }
    EntryFacts const& facts() const { return m_facts; }
    // The folder's own handle, to remove it through when the system needs it.
    FileHandle& owned() { return m_owned; }

    struct Notes; // per system
    Notes& notes() { return *m_notes; }

private:
    Folder(native_file borrowed, FileHandle&& owned, EntryFacts const& facts)
        : m_owned(std::move(owned))
        , m_file(borrowed)
        , m_facts(facts)
        , m_notes(make_notes(borrowed))
    { }
    static std::shared_ptr<Notes> make_notes(native_file folder);

    FileHandle m_owned;
    native_file m_file {no_file};
    EntryFacts m_facts;
    std::shared_ptr<Notes> m_notes;
};

// What one deletion is asked to do.
struct Request {
    DeletionPass const& pass;
    bool force {false};
    // Entries deleted while another program held them, whose names stay until it lets go
    // (Windows); they count as deleted.
    std::vector<FileIdentity>* pending {nullptr};
};

enum class Purpose {
    Look, // to read it or go down into it
    Delete, // to remove it: Windows asks for the rights to delete here and refuses a file in use
};

// The entry `name` of `folder`, never what a link there leads to. An entry that is not there
// (or whose deletion only waits for another program) fails with ENOENT; `shown` names it.
Result<Entry> open_entry(Folder& folder, std::string const& name, std::string const& shown, Purpose purpose,
    Request const& request);

// Goes down into the folder entry `name` that `entry` describes: opened again where needed, it
// must still be the entry looked at, and on the same mount. Nothing when it went meanwhile.
Result<std::optional<Folder>> enter(
    Folder& parent, std::string const& name, Entry& entry, std::string const& shown);

// The names of a folder's entries, "." and ".." left out.
Result<std::vector<std::string>> list(Folder& folder);

// Whether the link `entry` leads to a folder.
bool leads_to_folder(Folder& folder, std::string const& name, Entry const& entry);

// Whether another program holds the file open that `request.pass` could not tell of.
bool held_open(Folder& folder, std::string const& name, Entry const& entry, Request const& request);

// Removes a file, a link, or an emptied folder (then `handle` is the folder's own). A read-only
// entry is made writable first where the system wants that and the request forces.
Result<void> remove(Folder& folder, std::string const& name, FileHandle& handle, EntryFacts const& facts,
    std::string const& shown, Request const& request);

// Gives the entries deleted in `folder` while another program holds them a moment to go; fails
// when some still wait (Windows). Elsewhere names go at once.
Result<void> settle(Folder& folder, std::string const& shown, Request const& request);

// Whether the entry `name` of `folder` is deleted and only waits for another program to let go.
bool is_pending(Folder& folder, std::string const& name, Request const& request);

} // namespace sorrel::files::deletion
