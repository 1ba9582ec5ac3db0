#include "app/Unattended.h"

#include "app/ActionLog.h"
#include "app/Entries.h"
#include "app/Installations.h"
#include "app/InstanceLock.h"
#include "app/Report.h"
#include "platform/files/FileProtection.h"
#include "platform/files/WindowsPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace sorrel::app {

namespace {

// How many files the folder holds, subfolders included, and their size. Links are counted as
// the links they are, never followed.
void count_contents(files::DriveMap const& drives, FolderReport& folder)
{
    auto resolved = files::resolve(drives, folder.folder);
    if (resolved.is_error())
        return;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator it(
        resolved.value(), fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        auto status = it->symlink_status(error);
        if (error || fs::is_directory(status))
            continue;
        ++folder.files;
        if (fs::is_regular_file(status))
            folder.bytes += it->file_size(error);
    }
}

// What the scan leaves: the report's findings, and the older folder's file list as the window's
// File1 would hold it.
class Scan {
public:
    explicit Scan(files::DriveMap const& drives)
        : m_drives(drives)
        , m_fso(drives)
        , m_older(drives)
        , m_newer(drives)
    { }

    void run(Report& report, ActionLog& log)
    {
        auto const& protection = files::FileProtection::current();
        for (ScanPlace const& place : system_scan_places()) {
            bool older = place.which == Messenger::Older;
            PlainFolderList& list = older ? m_older : m_newer;
            for (std::string const& drive : m_drives.drive_names()) {
                auto look = FolderLook::begin(m_fso, list, drive, place);
                if (look.link) {
                    report.left_out.push_back(
                        {look.wanted, "link", look.link->path.string(), look.link->target.string()});
                    log.write("left out " + look.wanted + ": a link");
                    continue;
                }
                if (!look.found(list))
                    continue;
                FolderReport found;
                found.which = place.which;
                found.drive = drive;
                found.folder = list.folder();
                found.program = found.folder + std::string(place.program);
                if (auto version = m_fso.GetFileVersion(found.program); !version.is_error())
                    found.version = version.value();
                count_contents(m_drives, found);
                auto system_path = files::resolve(m_drives, found.folder);
                if (!system_path.is_error())
                    found.entries = entries_into(system_path.value());
                for (int i = 0; i < list.count(); ++i) {
                    if (protection.is_protected(found.folder + "\\" + list.listed(i).name))
                        found.protected_files.push_back(list.name(i));
                }
                if (older) {
                    m_older_folder = found.folder;
                    m_older_system_path
                        = system_path.is_error() ? std::filesystem::path() : system_path.value();
                }
                log.write("found " + found.folder + ", version " + found.version.value_or("unreadable") + ", "
                    + std::to_string(found.files) + " files");
                report.folders.push_back(std::move(found));
            }
        }
        report.verdict = verdict_of(int(report.folders.size()));
        log.write("scanned " + std::to_string(m_drives.bindings().size())
            + " drives: " + std::to_string(report.folders.size()) + " Messenger folders");
    }

    // The folder --remove-older removes: the last older folder found, when there are two versions.
    std::string const& older_folder() const { return m_older_folder; }
    // Where the system has it, for the entries that point into it.
    std::filesystem::path const& older_system_path() const { return m_older_system_path; }
    PlainFolderList& older_list() { return m_older; }
    files::FileSystemObject const& fso() const { return m_fso; }

private:
    files::DriveMap const& m_drives;
    files::FileSystemObject m_fso;
    PlainFolderList m_older;
    PlainFolderList m_newer;
    std::string m_older_folder;
    std::filesystem::path m_older_system_path;
};

std::string reason_of(files::Error const& error)
{
    auto ends_with = [&](std::string_view tail) { return error.message.ends_with(tail); };
    if (ends_with(" is read-only"))
        return "read-only";
    if (ends_with(" is in use"))
        return "in use";
    if (error.message.find(" is a link") != std::string::npos)
        return "a link";
    return "not deleted";
}

// With --entries: the Run values and shortcuts of the removed folder go, after their values
// are saved beside the log. Whether none stayed.
bool remove_entries(Scan const& scan, RemovalReport& removal, std::string const& log_path, ActionLog& log)
{
    std::string stamp;
    for (char c : utc_timestamp()) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            stamp += c;
    }
    std::u8string log_file(log_path.begin(), log_path.end());
    std::filesystem::path backup = std::filesystem::path(log_file);
    backup += "." + stamp + ".reg";
    auto removed = remove_entries_into(scan.older_system_path(), backup);
    if (!removed) {
        log.write("entries not examined on this system");
        return true;
    }
    removal.entries_removed = removed->removed;
    if (!removed->removed.empty()) {
        auto name = backup.u8string();
        removal.entries_backup = std::string(name.begin(), name.end());
    }
    for (auto const& entry : removed->removed)
        log.write("entry removed: " + entry.location + " -> " + entry.target);
    for (auto const& problem : removed->problems)
        log.write("entry kept: " + problem);
    return removed->problems.empty();
}

void print(Report const& report, Options const& options, std::ostream& out)
{
    out << (options.report_json ? report_json(report) : report_text(report));
    out.flush();
}

// With --at-reboot: when only files in use stayed, they and then the folder are deleted at the
// next start. Whether everything that stayed is now scheduled.
bool schedule_at_restart(files::FileSystemObject const& fso, RemovalReport& removal, ActionLog& log)
{
    bool only_in_use = std::all_of(removal.kept.begin(), removal.kept.end(),
        [](KeptFile const& kept) { return kept.reason == "in use"; });
    if (removal.kept.empty() || !only_in_use) {
        log.write("not scheduled for the next start: what stayed is not only files in use");
        return false;
    }
    std::vector<KeptFile> still;
    for (auto& kept : removal.kept) {
        std::string path = removal.folder + "\\" + kept.name;
        if (auto scheduled = fso.DeleteAtRestart(path); scheduled.is_error()) {
            log.write("not scheduled " + path + ": " + scheduled.error().message);
            kept.detail = scheduled.error().message;
            still.push_back(std::move(kept));
            continue;
        }
        log.write("scheduled " + path + " for deletion at the next start");
        removal.pending.push_back(kept.name);
    }
    removal.kept = std::move(still);
    if (!removal.kept.empty())
        return false;
    // The folder last: at the next start it is empty by then.
    if (auto scheduled = fso.DeleteAtRestart(removal.folder); scheduled.is_error()) {
        log.write("not scheduled " + removal.folder + ": " + scheduled.error().message);
        removal.kept.push_back({removal.folder, "not deleted", scheduled.error().message});
        return false;
    }
    log.write("scheduled the folder " + removal.folder + " for deletion at the next start");
    removal.pending.push_back(removal.folder);
    return true;
}

// Removes the older folder as the window does when the user answers Yes to the one retry.
int remove_older(Scan& scan, RemovalReport& removal, ActionLog& log, bool at_reboot)
{
    std::string const& folder = scan.older_folder();
    removal.folder = folder;
    PlainFolderList& list = scan.older_list();
    log.write("listed " + std::to_string(list.count()) + " files in " + folder);
    // The latest reason each file stayed, by its name below the folder.
    std::map<std::string, files::Error> reasons;
    RemovalHooks hooks;
    hooks.file_done = [&](int, files::ListedFile const& file, files::Result<void> const& result) {
        if (result.is_error()) {
            reasons[file.shown] = result.error();
            log.write("kept " + folder + "\\" + file.shown + ": " + reason_of(result.error()));
            return;
        }
        reasons.erase(file.shown);
        removal.deleted.push_back(file.shown);
        log.write("deleted " + folder + "\\" + file.shown);
    };
    hooks.folder_done = [&](files::Result<void> const& result) {
        if (result.is_error())
            log.write("kept the folder " + folder + ": " + result.error().message);
        else
            log.write("deleted the folder " + folder);
    };
    RemovalAttempt attempt;
    for (int i = 0; i < 2; ++i) {
        ++removal.attempts;
        attempt = attempt_removal(scan.fso(), list, folder, hooks);
        if (attempt.came_back) {
            for (auto const& name : attempt.left)
                log.write("came back " + folder + "\\" + name);
        }
        if (attempt.folder_gone())
            break;
    }
    removal.folder_gone = attempt.folder_gone();
    for (auto const& name : attempt.left) {
        KeptFile kept {name, "not deleted", {}};
        bool guarded = std::find(attempt.protected_files.begin(), attempt.protected_files.end(), name)
            != attempt.protected_files.end();
        if (attempt.came_back) {
            kept.reason = "came back";
        } else if (auto reason = reasons.find(name); reason != reasons.end()) {
            kept.reason = reason_of(reason->second);
            kept.detail = reason->second.message;
        } else if (guarded) {
            kept.reason = "protected";
        }
        removal.kept.push_back(std::move(kept));
    }
    if (at_reboot && !removal.folder_gone && schedule_at_restart(scan.fso(), removal, log))
        return exit_status::RestartNeeded;
    log.write(removal.folder_gone
            ? "done: " + folder + " is gone"
            : "incomplete: " + std::to_string(removal.kept.size()) + " items stayed in " + folder);
    return removal.folder_gone ? exit_status::Done : exit_status::Found;
}

} // namespace

int run_detect(Options const& options, files::DriveMap const& drives, std::ostream& out, std::ostream&)
{
    Report report;
    report.command = "detect";
    Scan scan(drives);
    ActionLog no_log;
    scan.run(report, no_log);
    bool older_beside_newer = report.verdict == Verdict::Two && !scan.older_folder().empty();
    report.status = older_beside_newer ? exit_status::Found : exit_status::Done;
    print(report, options, out);
    return report.status;
}

int run_remove_older(
    Options const& options, files::DriveMap const& drives, std::ostream& out, std::ostream& err)
{
    auto lock = InstanceLock::take();
    if (lock.is_error()) {
        err << "sorrel: " << lock.error().message << "\n";
        return exit_status::CannotScan;
    }
    if (!lock.value()) {
        err << "sorrel: another Sorrel is removing already; try again when it has finished\n";
        return exit_status::AnotherRunning;
    }
    ActionLog log;
    if (!options.log.empty()) {
        auto opened = ActionLog::open(options.log);
        if (opened.is_error()) {
            err << "sorrel: " << opened.error().message << "\n";
            return exit_status::CannotScan;
        }
        log = std::move(opened.value());
    }
    log.write("sorrel --remove-older started");

    Report report;
    report.command = "remove-older";
    Scan scan(drives);
    scan.run(report, log);
    RemovalReport& removal = report.removal.emplace();
    if (report.verdict == Verdict::Two && !scan.older_folder().empty()) {
        report.status = remove_older(scan, removal, log, options.at_reboot);
        if (options.entries && removal.folder_gone && !remove_entries(scan, removal, options.log, log))
            report.status = exit_status::Found;
    } else {
        log.write("nothing to remove");
        report.status = exit_status::Done;
    }
    print(report, options, out);
    return report.status;
}

} // namespace sorrel::app
