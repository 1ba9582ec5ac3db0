#include "app/Installations.h"

#include "platform/files/DeletionReport.h"
#include "platform/files/DriveDiscovery.h"
#include "platform/files/FileProtection.h"
#include "platform/files/NameMatch.h"

#include <algorithm>
#include <deque>
#include <tuple>

namespace sorrel::app {

std::array<ScanPlace, 4> const scan_places {{
    {Messenger::Older, "\\Program Files\\Messenger", "\\msmsgs.exe"},
    {Messenger::Newer, "\\Program Files\\MSN Messenger", "\\msnmsgr.exe"},
    // Where a 32-bit installer puts them on 64-bit Windows and in 64-bit Wine prefixes.
    {Messenger::Older, "\\Program Files (x86)\\Messenger", "\\msmsgs.exe"},
    {Messenger::Newer, "\\Program Files (x86)\\MSN Messenger", "\\msnmsgr.exe"},
}};

std::vector<ScanPlace> system_scan_places()
{
    // The places' texts live as long as the program; the system's folders don't change while it runs.
    static std::deque<std::string> texts;
    std::vector<ScanPlace> places(scan_places.begin(), scan_places.end());
    std::vector<std::string> scanned {"\\Program Files", "\\Program Files (x86)"};
    for (std::string const& folder : files::system_program_folders()) {
        if (std::any_of(scanned.begin(), scanned.end(),
                [&](std::string const& done) { return files::equal_ignoring_case(done, folder); }))
            continue;
        scanned.push_back(folder);
        for (auto [which, name, program] : {std::tuple {Messenger::Older, "\\Messenger", "\\msmsgs.exe"},
                 std::tuple {Messenger::Newer, "\\MSN Messenger", "\\msnmsgr.exe"}}) {
            std::string text = folder + name;
            auto known = std::find(texts.begin(), texts.end(), text);
            if (known == texts.end())
                known = texts.insert(texts.end(), text);
            places.push_back({which, *known, program});
        }
    }
    return places;
}

std::string PlainFolderList::name(int index) const
{
    if (index < 0)
        return {};
    return m_model.list(size_t(index));
}

files::ListedFile PlainFolderList::listed(int index) const
{
    if (index < 0)
        return {};
    return m_model.listed(size_t(index));
}

FolderLook FolderLook::begin(
    files::FileSystemObject const& fso, FolderList& list, std::string const& drive, ScanPlace const& place)
{
    FolderLook look {drive + std::string(place.folder), std::nullopt};
    look.link = fso.link_on_path(look.wanted);
    if (!look.link) {
        (void)list.set_folder(look.wanted);
        if (list.folder() == look.wanted)
            look.link = list.link();
    }
    return look;
}

std::string FolderLook::left_out_note() const
{
    if (!link)
        return {};
    return wanted + " is left out of the scan: \"" + link->path.string() + "\" is a link to \""
        + link->target.string() + "\", and Sorrel does not remove linked folders";
}

Verdict verdict_of(int folders_found)
{
    if (folders_found >= 2)
        return Verdict::Two;
    return folders_found == 1 ? Verdict::One : Verdict::None;
}

RemovalAttempt attempt_removal(files::FileSystemObject const& fso, FolderList& list,
    std::string const& folder, RemovalHooks const& hooks)
{
    // The files in use are found once for the whole attempt.
    auto in_use = files::FileSystemObject::begin_deletion_pass();
    // Our own file list holds the folder it shows open; that must not keep the folder.
    if (auto identity = list.folder_identity())
        in_use.forget(*identity);

    // The entries as listed before the pass: deleting doesn't re-read the list.
    int count = list.count();
    std::vector<files::ListedFile> listed;
    listed.reserve(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        listed.push_back(list.listed(i));
    RemovalAttempt attempt;
    auto const& protection = files::FileProtection::current();
    for (auto const& file : listed) {
        if (protection.is_protected(folder + "\\" + file.name))
            attempt.protected_files.push_back(file.shown);
    }

    std::vector<std::string> refused; // for want of rights
    for (int i = 0; i < count; ++i) {
        if (hooks.stop_before_file && hooks.stop_before_file())
            break;
        auto deleted = fso.DeleteFile(listed[size_t(i)], false, &in_use);
        if (deleted.is_error() && deleted.error().code == files::no_rights_code)
            refused.push_back(listed[size_t(i)].shown);
        if (hooks.file_done)
            hooks.file_done(i, listed[size_t(i)], deleted);
    }
    if (hooks.stop_after_pass && hooks.stop_after_pass()) {
        attempt.stopped = true;
        return attempt;
    }

    list.refresh();
    // A file deleted while another program holds it keeps its name until that program lets go:
    // it is as good as deleted. Asking a user who may not delete here to close MSN would not
    // help: the name says what would.
    for (int i = 0; i < list.count(); ++i) {
        if (fso.is_deletion_pending(list.listed(i)))
            continue;
        std::string name = list.name(i);
        if (std::find(refused.begin(), refused.end(), name) != refused.end())
            name += " (access denied: run Sorrel as an administrator)";
        attempt.left.push_back(std::move(name));
    }
    if (!attempt.left.empty())
        return attempt;
    auto removed = fso.DeleteFolder(folder, false, &in_use, hooks.between_entries);
    if (hooks.folder_done)
        hooks.folder_done(removed);
    if (hooks.stop_after_pass && hooks.stop_after_pass()) {
        attempt.stopped = true;
        return attempt;
    }
    attempt.left = fso.remaining_items(folder);
    // "Completed" would be untrue if the system put its files back a moment later.
    if (attempt.left.empty() && !attempt.protected_files.empty()) {
        protection.wait_for_restoring();
        attempt.left = fso.remaining_items(folder);
        attempt.came_back = !attempt.left.empty();
        // The list still shows the folder that went; a retry must see the one that came back.
        if (attempt.came_back)
            (void)list.set_folder(folder);
    }
    return attempt;
}

} // namespace sorrel::app
