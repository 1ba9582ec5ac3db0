#include "app/DemoDrives.h"

#include "app/DemoFiles.h"
#include "platform/files/FileSystemObject.h"
#include "platform/os/Process.h"
#include "platform/os/TempFolder.h"

#include <fstream>
#include <string>
#include <vector>

namespace sorrel::app {

namespace demo_files {
std::span<const uint8_t> find(std::string_view name)
{
    for (auto& file : embedded()) {
        if (file.name == name)
            return file.bytes;
    }
    return {};
}
} // namespace demo_files

namespace {

struct DemoFile {
    const char* drive;
    const char* path;
    const char* source; // an embedded program file, or null for a short text
};

// What the demo drives hold.
constexpr DemoFile Layout[] = {
    {"c", "Program Files/Messenger/msmsgs.exe", "exe64_basic"},
    {"c", "Program Files/Messenger/msgsc.dll", "dll32_basic"},
    {"c", "Program Files/Messenger/msgslang.dll", "dll64_basic"},
    {"c", "Program Files/Messenger/license.txt", nullptr},
    {"c", "Program Files/Messenger/readme.txt", nullptr},
    {"d", "Program Files/MSN Messenger/msnmsgr.exe", "exe32_leading_zero"},
    {"d", "Program Files/MSN Messenger/readme.txt", nullptr},
};

files::Result<void> write_file(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
        return files::Error {"cannot make " + path.parent_path().string() + ": " + ec.message()};
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        return files::Error {"cannot write " + path.string()};
    return {};
}

constexpr std::string_view DemoPrefix = "sorrel-demo-";
constexpr std::string_view MarkerTitle = "sorrel demo";

std::string marker_text()
{
    return std::string(MarkerTitle) + "\n" + std::to_string(os::own_process_id()) + "\n"
        + os::process_start(os::own_process_id()).value_or("") + "\n";
}

// Whether the demo folder `folder` was left behind: it carries the marker, and the process the
// marker names no longer runs. When in doubt it was not.
bool is_abandoned(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(folder, ec))
        || !os::is_own_folder(folder))
        return false;
    auto marker = folder / DemoDrives::MarkerName;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(marker, ec)))
        return false;
    std::ifstream in(marker);
    std::string title, id, start;
    if (!std::getline(in, title) || title != MarkerTitle || !std::getline(in, id) || !std::getline(in, start)
        || id.empty() || id.size() > 10 || id.find_first_not_of("0123456789") != std::string::npos)
        return false;
    auto now = os::process_start(std::stoul(id));
    return now && *now != start;
}

// Removes what earlier demos killed from outside left in `temp`, with the deleter the window
// uses: it goes through no link and into no other file system.
void remove_abandoned_demos(const std::filesystem::path& temp)
{
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.starts_with(DemoPrefix) && is_abandoned(it->path()))
            names.push_back(name);
    }
    if (names.empty())
        return;
    files::DriveMap drive;
    if (drive.add('t', temp).is_error())
        return;
    files::FileSystemObject fso(drive);
    for (const std::string& name : names)
        (void)fso.DeleteFolder("t:\\" + name, true);
}

} // namespace

files::Result<std::unique_ptr<DemoDrives>> DemoDrives::create()
{
    std::unique_ptr<DemoDrives> demo(new DemoDrives());
    std::error_code no_temp;
    remove_abandoned_demos(std::filesystem::temp_directory_path(no_temp));
    auto root = os::make_temp_folder(DemoPrefix, "the demo drives");
    if (root.is_error())
        return root.error();
    demo->m_root = root.value();
    {
        std::ofstream marker(demo->m_root / MarkerName, std::ios::binary);
        marker << marker_text();
        if (!marker)
            return files::Error {"cannot write " + (demo->m_root / MarkerName).string()};
    }
    for (const char* letter : {"c", "d"}) {
        std::error_code ec;
        std::filesystem::create_directories(demo->m_root / letter, ec);
        if (auto added = demo->m_drives.add(letter[0], demo->m_root / letter); added.is_error())
            return added.error();
    }
    for (auto& file : Layout) {
        static constexpr std::string_view Note = "Part of the Sorrel demo: this file may be removed.\r\n";
        std::span<const uint8_t> bytes = file.source
            ? demo_files::find(file.source)
            : std::span(reinterpret_cast<const uint8_t*>(Note.data()), Note.size());
        if (bytes.empty())
            return files::Error {std::string("the demo file ") + file.source + " is not built in"};
        if (auto written = write_file(demo->m_root / file.drive / file.path, bytes); written.is_error())
            return written.error();
    }
    return demo;
}

DemoDrives::~DemoDrives()
{
    remove();
}

void DemoDrives::remove()
{
    if (m_root.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
    m_root.clear();
}

} // namespace sorrel::app
