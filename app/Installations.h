#pragma once

// What the window and the command line share of finding the two Messengers and removing the
// older one: where the scan looks and in which order, when a folder counts as found, and one
// attempt at removing a folder. The window adds its pages, bar and boxes around these steps; the
// command line adds its report and log.

#include "platform/files/FileSystemObject.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::app {

enum class Messenger {
    Older, // "\Program Files\Messenger", msmsgs.exe
    Newer, // "\Program Files\MSN Messenger", msnmsgr.exe
};

// One folder the scan looks for on every drive.
struct ScanPlace {
    Messenger which;
    std::string_view folder; // below the drive's root, "\Program Files\Messenger"
    std::string_view program; // below the folder, "\msmsgs.exe"
};

// The places in the order the scan takes them. The 32-bit folders of 64-bit systems come after
// the usual ones, so they count the same way and, where both kinds of folder exist, the removal
// takes the later one found.
extern std::array<ScanPlace, 4> const scan_places;
// The places on this system: scan_places, then the same folders below the system's own
// program-files folders where the system names them otherwise (a German Windows XP keeps its
// programs in "\Programme"), each folder once.
std::vector<ScanPlace> system_scan_places();

// The file list that the scan leaves at a found folder and that the removal deletes from. The
// window's lists show what they hold; the command line's only hold it.
class FolderList {
public:
    virtual ~FolderList() = default;
    // Fails for a folder that is not there, and the list keeps its folder.
    virtual files::Result<void> set_folder(std::string_view path) = 0;
    virtual std::string const& folder() const = 0;
    virtual int count() const = 0;
    virtual std::string name(int index) const = 0;
    virtual files::ListedFile listed(int index) const = 0;
    virtual std::optional<files::FileIdentity> folder_identity() const = 0;
    // The link that kept the folder from being read.
    virtual std::optional<files::Link> const& link() const = 0;
    virtual void refresh() = 0;
};

// A file list that nobody sees.
class PlainFolderList final : public FolderList {
public:
    explicit PlainFolderList(files::DriveMap const& drives)
        : m_model(drives)
    { }
    files::Result<void> set_folder(std::string_view path) override { return m_model.set_path(path); }
    std::string const& folder() const override { return m_model.path(); }
    int count() const override { return int(m_model.list_count()); }
    std::string name(int index) const override;
    files::ListedFile listed(int index) const override;
    std::optional<files::FileIdentity> folder_identity() const override { return m_model.folder_identity(); }
    std::optional<files::Link> const& link() const override { return m_model.link(); }
    void refresh() override { m_model.refresh(); }

private:
    files::FileListModel m_model;
};

// One drive's look at one place, in two steps so that the window can let events run between them.
struct FolderLook {
    std::string wanted; // the drive's name followed by the place's folder
    // A linked folder would be listed but could never be removed: the removal goes through no
    // link, since that would delete files outside the path the user sees. Such a folder is left
    // out, and the list is not moved there.
    std::optional<files::FileSystemObject::Link> link;

    // Looks for a link on the way and, without one, moves the list to the folder (which fails,
    // keeping the list's folder, when the folder is not there). The list reads through no link
    // either, so a link that came since the look leaves it empty and is taken as found here.
    static FolderLook begin(files::FileSystemObject const& fso, FolderList& list, std::string const& drive,
        ScanPlace const& place);
    // Whether the list shows exactly the folder wanted, letter case included.
    bool found(FolderList const& list) const { return !link && list.folder() == wanted; }
    // Why the folder is left out, in one line: "c:\... is left out of the scan: ...".
    std::string left_out_note() const;
};

// The verdict counts the folders found, as the window's results page does.
enum class Verdict {
    None,
    One,
    Two, // two or more
};
Verdict verdict_of(int folders_found);

// What one removal attempt left.
struct RemovalAttempt {
    bool stopped {false}; // stopped halfway on request; nothing was looked at afterwards
    // The listed files still there or, when those are gone but the folder is not, whatever it still
    // holds (hidden files, subfolders), as names below the folder.
    std::vector<std::string> left;
    // The listed files that the system guards, by their shown names.
    std::vector<std::string> protected_files;
    // The folder went, but the system put guarded files back: `left` is what came back.
    bool came_back {false};

    bool folder_gone() const { return !stopped && left.empty(); }
};

struct RemovalHooks {
    // Asked before each file: stop the pass there.
    std::function<bool()> stop_before_file;
    // Asked after the pass: stop without looking at the folder again.
    std::function<bool()> stop_after_pass;
    // After each file, with what became of it.
    std::function<void(int index, files::ListedFile const& file, files::Result<void> const& result)>
        file_done;
    // Between two entries while the folder itself is emptied: stop the deletion there.
    std::function<bool()> between_entries;
    // After the folder's own deletion.
    std::function<void(files::Result<void> const& result)> folder_done;
};

// One attempt at removing `folder`, which `list` shows: the files as listed now, one by one
// (the list is not re-read during the pass, so the indices keep naming the same entries), then,
// when the re-read list is empty, the folder with whatever it still holds. When the system guards
// some of the files, it is given the time to put them back, and the folder is looked at again.
RemovalAttempt attempt_removal(files::FileSystemObject const& fso, FolderList& list,
    std::string const& folder, RemovalHooks const& hooks);

} // namespace sorrel::app
