#include "platform/files/DriveDiscovery.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace sorrel::files {

namespace {

constexpr std::array windows_file_systems {"ntfs", "ntfs3", "fuseblk", "vfat", "msdos", "exfat"};

// Folders whose every child may be a Wine prefix, below the home folder.
constexpr std::array front_end_folders {
    ".PlayOnLinux/wineprefix",
    ".local/share/bottles/bottles",
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
    ".cxoffice",
    "Games",
};

// Folders of Proton prefixes: each child holds the prefix in "pfx".
constexpr std::array proton_folders {
    ".steam/steam/steamapps/compatdata",
    ".local/share/Steam/steamapps/compatdata",
};

bool is_wine_prefix(std::filesystem::path const& folder, FileSystemProbe const& probe)
{
    return probe.folder_identity(folder / "dosdevices") && probe.folder_identity(folder / "drive_c");
}

std::vector<std::string> sorted_children(std::filesystem::path const& folder, FileSystemProbe const& probe)
{
    auto names = probe.list(folder);
    std::sort(names.begin(), names.end());
    return names;
}

// Adds bindings, keeping out "/" and folders that already have a letter.
class DriveCollector {
public:
    DriveCollector(FileSystemProbe const& probe, std::vector<std::filesystem::path>* left_out)
        : m_probe(probe)
        , m_root(probe.folder_identity("/"))
        , m_left_out(left_out)
    { }

    void add(std::filesystem::path const& folder, char wanted_letter)
    {
        auto identity = m_probe.folder_identity(folder);
        if (!identity || identity == m_root)
            return;
        if (std::find(m_seen.begin(), m_seen.end(), *identity) != m_seen.end())
            return;
        char letter = wanted_letter && !m_map.has_letter(wanted_letter) ? wanted_letter : next_free_letter();
        if (!letter) {
            if (m_left_out)
                m_left_out->push_back(folder);
            m_seen.push_back(*identity);
            return;
        }
        if (!m_map.add(letter, folder).is_error())
            m_seen.push_back(*identity);
    }

    DriveMap take() { return std::move(m_map); }

private:
    char next_free_letter() const
    {
        for (char letter = 'c'; letter <= 'z'; ++letter) {
            if (!m_map.has_letter(letter))
                return letter;
        }
        return 0;
    }

    FileSystemProbe const& m_probe;
    std::optional<FileIdentity> m_root;
    std::vector<FileIdentity> m_seen;
    std::vector<std::filesystem::path>* m_left_out;
    DriveMap m_map;
};

std::vector<std::pair<char, std::filesystem::path>> letter_links(
    std::filesystem::path const& prefix, FileSystemProbe const& probe)
{
    std::vector<std::pair<char, std::filesystem::path>> links;
    auto devices = prefix / "dosdevices";
    for (auto const& name : sorted_children(devices, probe)) {
        if (name.size() == 2 && name[1] == ':' && name[0] >= 'a' && name[0] <= 'z')
            links.emplace_back(name[0], devices / name);
    }
    return links;
}

} // namespace

FileSystemProbe FileSystemProbe::real()
{
    FileSystemProbe probe;
    probe.folder_identity = [](std::filesystem::path const& path) -> std::optional<FileIdentity> {
        struct stat st { };
        if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::nullopt;
        return FileIdentity {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    };
    probe.list = [](std::filesystem::path const& path) {
        std::vector<std::string> names;
        std::error_code error;
        for (std::filesystem::directory_iterator it(path, error), end; !error && it != end;
             it.increment(error))
            names.push_back(it->path().filename().string());
        return names;
    };
    return probe;
}

DiscoveryInput DiscoveryInput::from_system()
{
    DiscoveryInput input;
    if (char const* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        input.wine_prefix = prefix;
    if (char const* home = std::getenv("HOME"); home && *home)
        input.home = home;
    std::ifstream mounts("/proc/self/mounts");
    std::stringstream text;
    text << mounts.rdbuf();
    input.mounts = text.str();
    return input;
}

std::string unescape_mount_field(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto octal = [&](std::size_t k) { return field[i + k] >= '0' && field[i + k] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(1) && octal(2) && octal(3)) {
            out += static_cast<char>(
                ((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::vector<MountEntry> parse_mounts(std::string_view text)
{
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        auto end = text.find('\n');
        auto line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view {} : text.substr(end + 1);
        std::vector<std::string_view> fields;
        while (!line.empty() && fields.size() < 3) {
            auto start = line.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                break;
            line = line.substr(start);
            auto stop = line.find_first_of(" \t");
            fields.push_back(line.substr(0, stop));
            line = stop == std::string_view::npos ? std::string_view {} : line.substr(stop);
        }
        if (fields.size() == 3)
            entries.push_back(
                {unescape_mount_field(fields[0]), unescape_mount_field(fields[1]), std::string(fields[2])});
    }
    return entries;
}

std::vector<std::filesystem::path> find_wine_prefixes(
    DiscoveryInput const& input, FileSystemProbe const& probe)
{
    std::vector<std::filesystem::path> prefixes;
    auto consider = [&](std::filesystem::path const& folder) {
        if (is_wine_prefix(folder, probe)
            && std::find(prefixes.begin(), prefixes.end(), folder) == prefixes.end())
            prefixes.push_back(folder);
    };
    if (input.wine_prefix)
        consider(*input.wine_prefix);
    else if (!input.home.empty())
        consider(input.home / ".wine");
    if (input.home.empty())
        return prefixes;
    for (auto const* folder : front_end_folders) {
        for (auto const& name : sorted_children(input.home / folder, probe))
            consider(input.home / folder / name);
    }
    for (auto const* folder : proton_folders) {
        for (auto const& name : sorted_children(input.home / folder, probe))
            consider(input.home / folder / name / "pfx");
    }
    return prefixes;
}

DriveMap discover_drives(
    DiscoveryInput const& input, FileSystemProbe const& probe, std::vector<std::filesystem::path>* left_out)
{
    DriveCollector drives(probe, left_out);
    std::filesystem::path own_prefix
        = input.wine_prefix ? std::filesystem::path(*input.wine_prefix) : input.home / ".wine";
    for (auto const& prefix : find_wine_prefixes(input, probe)) {
        bool keep_letters = prefix == own_prefix;
        for (auto const& [letter, folder] : letter_links(prefix, probe))
            drives.add(folder, keep_letters ? letter : 0);
    }
    for (auto const& mount : parse_mounts(input.mounts)) {
        if (std::find(windows_file_systems.begin(), windows_file_systems.end(), mount.type)
            != windows_file_systems.end())
            drives.add(mount.mount_point, 0);
    }
    return drives.take();
}

std::vector<std::string> system_program_folders()
{
    return {};
}

Result<DriveMap> drives_for_program(std::vector<std::string> const& drive_arguments)
{
    if (!drive_arguments.empty())
        return DriveMap::from_arguments(drive_arguments);
    return discover_drives(DiscoveryInput::from_system(), FileSystemProbe::real());
}

} // namespace sorrel::files
