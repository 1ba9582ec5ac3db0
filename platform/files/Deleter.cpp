#include "platform/files/Deleter.h"

#include "platform/files/DeletionReport.h"
#include "platform/files/FileListModel.h"

#include <algorithm>
#include <cerrno>

namespace sorrel::files {

using namespace deletion;

// A folder being emptied: its entries as listed when it was opened, and what became of them.
struct Deleter::Level {
    Folder folder;
    std::string name; // in the folder one level up
    std::string shown;
    std::vector<std::string> names;
    std::size_t next {0};
    DeletionFailures failures;
};

bool Deleter::is_protected(FileIdentity const& folder) const
{
    return std::find(m_protected.begin(), m_protected.end(), folder) != m_protected.end();
}

// Why an item may not go, judged from its own facts: root ignores permission bits, so a failing
// removal can't tell us an item is read-only.
std::optional<Error> Deleter::refuse(Folder& folder, Entry const& entry, std::string const& shown) const
{
    auto const& facts = entry.facts;
    if (facts.kind == EntryKind::Link)
        return std::nullopt; // a link goes as a link; its target is never looked at
    if (facts.identity.device != folder.facts().identity.device)
        return Error {in_quotes(shown) + " is on another file system", EXDEV};
    if (!m_request.force && facts.read_only)
        return read_only_error(shown);
    if (m_request.pass.is_in_use(facts.identity))
        return in_use_error(shown);
    return std::nullopt;
}

Result<void> Deleter::remove_item(
    Folder& folder, std::string const& name, Entry& entry, std::string const& shown)
{
    if (auto refusal = refuse(folder, entry, shown))
        return *refusal;
    if (entry.facts.kind == EntryKind::File && held_open(folder, name, entry, m_request))
        return in_use_error(shown);
    return remove(folder, name, entry.handle, entry.facts, shown, m_request);
}

Result<void> Deleter::delete_file(Folder& parent, std::string const& name, std::string const& shown)
{
    auto entry = open_entry(parent, name, shown, Purpose::Delete, m_request);
    if (entry.is_error())
        return entry.error();
    if (entry.value().facts.kind == EntryKind::Folder)
        return Error {in_quotes(shown) + " is a folder", EISDIR};
    return remove_item(parent, name, entry.value(), shown);
}

Result<void> Deleter::delete_folder(Folder& parent, std::string const& name, std::string const& shown)
{
    auto opened = open_entry(parent, name, shown, Purpose::Delete, m_request);
    if (opened.is_error())
        return opened.error();
    auto& entry = opened.value();
    if (entry.facts.kind == EntryKind::Link) {
        if (!leads_to_folder(parent, name, entry))
            return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
        return remove(parent, name, entry.handle, entry.facts, shown, m_request);
    }
    if (entry.facts.kind != EntryKind::Folder)
        return Error {in_quotes(shown) + " is not a folder", ENOTDIR};
    if (entry.facts.identity.device != parent.facts().identity.device)
        return Error {in_quotes(shown) + " is the root of another file system", EXDEV};
    m_last_folder = entry.facts.identity;
    return remove_tree(parent, name, entry, shown);
}

// Opens the folder `name` of `parent` to empty it, when the rules let it go; nothing when it went
// meanwhile.
Result<std::optional<Deleter::Level>> Deleter::descend(
    Folder& parent, std::string const& name, Entry& entry, std::string const& shown, std::size_t depth) const
{
    if (is_protected(entry.facts.identity))
        return Error {in_quotes(shown) + " is the root folder of a drive", EPERM};
    if (depth >= max_deletion_depth)
        return Error {in_quotes(shown) + " lies too deep", ENAMETOOLONG};
    if (auto refusal = refuse(parent, entry, shown))
        return *refusal;
    auto entered = enter(parent, name, entry, shown);
    if (entered.is_error())
        return entered.error();
    if (!entered.value())
        return std::optional<Level> {};
    auto& folder = *entered.value();
    auto names = list(folder);
    if (names.is_error())
        return Error {"cannot read " + in_quotes(shown) + ": " + names.error().message, names.error().code};
    return std::optional<Level> {Level {std::move(folder), name, shown, names.release_value(), 0, {}}};
}

// The folder once its entries are done: it goes when they all went.
Result<void> Deleter::finish(Folder& parent, Level& done)
{
    if (auto contents = done.failures.result(done.shown); contents.is_error())
        return contents;
    if (auto settled = settle(done.folder, done.shown, m_request); settled.is_error())
        return settled;
    auto facts = done.folder.facts();
    return remove(parent, done.name, done.folder.owned(), facts, done.shown, m_request);
}

Result<void> Deleter::remove_tree(
    Folder& parent, std::string const& name, Entry& entry, std::string const& shown)
{
    auto top = descend(parent, name, entry, shown, 0);
    if (top.is_error())
        return top.error();
    if (!top.value())
        return {};
    std::vector<Level> levels;
    levels.push_back(std::move(*top.value()));
    while (!levels.empty()) {
        std::size_t at = levels.size() - 1;
        if (levels[at].next == levels[at].names.size()) {
            Level done = std::move(levels[at]);
            levels.pop_back();
            auto finished = finish(levels.empty() ? parent : levels.back().folder, done);
            if (levels.empty())
                return finished;
            if (finished.is_error())
                levels.back().failures.add(finished.error());
            continue;
        }
        if (m_between && (*m_between)())
            return Error {"the deletion of " + in_quotes(shown) + " was stopped", ECANCELED};
        std::string const& child = levels[at].names[levels[at].next++];
        std::string item = levels[at].shown + "\\" + child;
        auto opened = open_entry(levels[at].folder, child, item, Purpose::Delete, m_request);
        if (opened.is_error()) {
            if (opened.error().code != ENOENT) // an item that vanished meanwhile is as good as deleted
                levels[at].failures.add(opened.error());
            continue;
        }
        auto& child_entry = opened.value();
        if (child_entry.facts.kind != EntryKind::Folder) {
            if (auto removed = remove_item(levels[at].folder, child, child_entry, item); removed.is_error())
                levels[at].failures.add(removed.error());
            continue;
        }
        auto below = descend(levels[at].folder, child, child_entry, item, levels.size());
        if (below.is_error())
            levels[at].failures.add(below.error());
        else if (below.value())
            levels.push_back(std::move(*below.value()));
    }
    return {};
}

std::vector<std::string> remaining_in(Folder& top, Request const& request, std::size_t& pending)
{
    struct Level {
        std::optional<Folder> own; // empty for the top folder
        std::string prefix;
        std::vector<std::string> names;
        std::size_t next {0};
        std::size_t named_before {0};
    };
    std::vector<std::string> out;
    auto names = list(top);
    if (names.is_error())
        return out;
    std::vector<Level> levels;
    levels.push_back({std::nullopt, {}, names.release_value()});
    while (!levels.empty()) {
        std::size_t at = levels.size() - 1;
        Folder& folder = levels[at].own ? *levels[at].own : top;
        if (levels[at].next == levels[at].names.size()) {
            // A folder with nothing below it to name is named itself.
            bool nothing_named = out.size() == levels[at].named_before;
            std::string named = levels[at].prefix;
            levels.pop_back();
            if (!levels.empty() && nothing_named)
                out.push_back(std::move(named));
            continue;
        }
        std::string const& name = levels[at].names[levels[at].next++];
        if (is_pending(folder, name, request)) {
            ++pending;
            continue;
        }
        std::string item = levels[at].prefix + shown_file_name(name);
        auto entry = open_entry(folder, name, item, Purpose::Look, request);
        if (entry.is_error()) {
            if (entry.error().code != ENOENT)
                out.push_back(std::move(item));
            continue;
        }
        if (entry.value().facts.kind != EntryKind::Folder) {
            out.push_back(std::move(item));
            continue;
        }
        std::optional<Folder> below;
        if (entry.value().facts.identity.device == folder.facts().identity.device
            && levels.size() <= max_deletion_depth) {
            if (auto entered = enter(folder, name, entry.value(), item); !entered.is_error())
                below = std::move(entered.value());
        }
        auto below_names
            = below ? list(*below) : Result<std::vector<std::string>> {std::vector<std::string> {}};
        if (!below || below_names.is_error()) {
            out.push_back(item + "\\");
            continue;
        }
        levels.push_back({std::move(below), item + "\\", below_names.release_value(), 0, out.size()});
    }
    return out;
}

} // namespace sorrel::files
