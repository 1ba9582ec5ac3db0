#include "app/Report.h"

#include <nlohmann/json.hpp>

namespace sorrel::app {

namespace {

// Fields keep the order they are written in, "format" first.
using json = nlohmann::ordered_json;

char const* verdict_name(Verdict verdict)
{
    switch (verdict) {
    case Verdict::None:
        return "none";
    case Verdict::One:
        return "one";
    case Verdict::Two:
        return "two";
    }
    return "none";
}

char const* which_name(Messenger which)
{
    return which == Messenger::Older ? "older" : "newer";
}

json entries_json(std::vector<EntryReport> const& entries)
{
    json list = json::array();
    for (auto const& entry : entries)
        list.push_back({{"kind", entry.kind}, {"location", entry.location}, {"target", entry.target}});
    return list;
}

// Names and texts may hold bytes that are not UTF-8 (a file list shows Windows-1252): they are
// replaced rather than failing the whole report.
constexpr auto replace_bad_bytes = nlohmann::json::error_handler_t::replace;

} // namespace

std::string report_json(Report const& report)
{
    json out;
    out["format"] = report_format;
    out["command"] = report.command;
    out["status"] = report.status;
    out["verdict"] = verdict_name(report.verdict);
    out["folders"] = json::array();
    for (auto const& folder : report.folders) {
        json f {{"which", which_name(folder.which)}, {"drive", folder.drive}, {"folder", folder.folder},
            {"program", folder.program}, {"files", folder.files}, {"bytes", folder.bytes},
            {"protected_files", folder.protected_files}};
        f["version"] = folder.version ? json(*folder.version) : json(nullptr);
        f["entries"] = folder.entries ? entries_json(*folder.entries) : json(nullptr);
        out["folders"].push_back(std::move(f));
    }
    out["left_out"] = json::array();
    for (auto const& left : report.left_out)
        out["left_out"].push_back(
            {{"folder", left.folder}, {"why", left.why}, {"link", left.link}, {"target", left.target}});
    if (report.removal) {
        auto const& r = *report.removal;
        json removal {{"folder", r.folder}, {"folder_gone", r.folder_gone}, {"attempts", r.attempts},
            {"deleted", r.deleted}, {"pending", r.pending}};
        removal["kept"] = json::array();
        for (auto const& kept : r.kept)
            removal["kept"].push_back(
                {{"name", kept.name}, {"reason", kept.reason}, {"detail", kept.detail}});
        removal["entries_removed"] = r.entries_removed ? entries_json(*r.entries_removed) : json(nullptr);
        removal["entries_backup"] = r.entries_backup.empty() ? json(nullptr) : json(r.entries_backup);
        out["removal"] = std::move(removal);
    }
    return out.dump(2, ' ', false, replace_bad_bytes) + "\n";
}

namespace {

std::string size_text(std::uint64_t bytes)
{
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

void entries_text(
    std::string& out, std::optional<std::vector<EntryReport>> const& entries, char const* indent)
{
    if (!entries) {
        out += std::string(indent) + "entries: not examined\n";
        return;
    }
    if (entries->empty())
        out += std::string(indent) + "entries: none\n";
    for (auto const& entry : *entries)
        out += std::string(indent) + entry.kind + ": " + entry.location + " -> " + entry.target + "\n";
}

} // namespace

std::string report_text(Report const& report)
{
    std::string out;
    switch (report.verdict) {
    case Verdict::None:
        out += "Verdict: no version of Messenger found.\n";
        break;
    case Verdict::One:
        out += "Verdict: one version installed.\n";
        break;
    case Verdict::Two:
        out += "Verdict: two versions installed.\n";
        break;
    }
    for (auto const& folder : report.folders) {
        out += "\n" + folder.folder + " (" + which_name(folder.which) + ")\n";
        out += "  program: " + folder.program + ", version "
            + (folder.version ? (folder.version->empty() ? "none" : *folder.version) : "unreadable") + "\n";
        out += "  holds: " + std::to_string(folder.files) + (folder.files == 1 ? " file, " : " files, ")
            + size_text(folder.bytes) + "\n";
        for (auto const& name : folder.protected_files)
            out += "  protected by the system: " + name + "\n";
        entries_text(out, folder.entries, "  ");
    }
    for (auto const& left : report.left_out)
        out += "\nLeft out: " + left.folder + ": \"" + left.link + "\" is a link to \"" + left.target
            + "\"\n";
    if (report.removal) {
        auto const& r = *report.removal;
        out += "\n";
        if (r.folder.empty()) {
            out += "Nothing to remove.\n";
        } else {
            out += "Removal of " + r.folder + ": " + (r.folder_gone ? "done" : "incomplete") + " after "
                + std::to_string(r.attempts) + (r.attempts == 1 ? " attempt" : " attempts") + ", "
                + std::to_string(r.deleted.size()) + " deleted\n";
            for (auto const& kept : r.kept)
                out += "  kept: " + kept.name + " (" + kept.reason + ")\n";
            for (auto const& name : r.pending)
                out += "  pending until the next start: " + name + "\n";
            if (r.entries_removed) {
                for (auto const& entry : *r.entries_removed)
                    out += "  entry removed: " + entry.location + " -> " + entry.target + "\n";
                if (!r.entries_backup.empty())
                    out += "  removed entries saved in " + r.entries_backup + "\n";
            } else {
                out += "  entries: not examined\n";
            }
        }
    }
    return out;
}

} // namespace sorrel::app
