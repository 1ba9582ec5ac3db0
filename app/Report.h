#pragma once

// What `sorrel --detect` and `sorrel --remove-older` found and did, and how it is printed: as text
// for people or as JSON for the tools that run Sorrel (docs/report.schema.json describes it).

#include "app/Installations.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sorrel::app {

// The JSON report's layout; raised whenever a field changes meaning or goes away.
constexpr int report_format = 1;

// An autostart value or a shortcut that points into a folder.
struct EntryReport {
    std::string kind; // "run" or "shortcut"
    std::string location; // the key and value name, or the shortcut's file
    std::string target;
};

struct FolderReport {
    Messenger which {Messenger::Older};
    std::string drive; // "c:"
    std::string folder; // "c:\Program Files\Messenger"
    std::string program; // "c:\Program Files\Messenger\msmsgs.exe"
    std::optional<std::string> version; // none when it could not be read
    std::uint64_t files {0}; // everything the folder holds, subfolders included
    std::uint64_t bytes {0};
    std::vector<std::string> protected_files; // names below the folder that the system guards
    std::optional<std::vector<EntryReport>> entries; // none: not examined
};

struct LeftOutReport {
    std::string folder;
    std::string why; // "link"
    std::string link;
    std::string target;
};

struct KeptFile {
    std::string name; // below the folder
    std::string reason; // "read-only", "in use", "a link", "protected", "came back", "not deleted"
    std::string detail; // the system's words, when it gave some
};

struct RemovalReport {
    std::string folder; // empty when there was nothing to remove
    bool folder_gone {false};
    int attempts {0};
    std::vector<std::string> deleted;
    std::vector<KeptFile> kept;
    std::vector<std::string> pending; // scheduled for deletion at the next start
    std::optional<std::vector<EntryReport>> entries_removed; // none: not examined
    std::string entries_backup; // the .reg file written first
};

struct Report {
    std::string command; // "detect" or "remove-older"
    int status {0};
    Verdict verdict {Verdict::None};
    std::vector<FolderReport> folders;
    std::vector<LeftOutReport> left_out;
    std::optional<RemovalReport> removal;
};

std::string report_json(Report const& report);
std::string report_text(Report const& report);

} // namespace sorrel::app
