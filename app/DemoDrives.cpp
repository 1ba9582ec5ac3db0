#include "app/DemoDrives.h"

#include "app/DemoFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

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

// A new folder of a name nobody has, in the temporary folder (%TEMP% on Windows).
files::Result<std::filesystem::path> make_demo_root()
{
#ifdef _WIN32
    // Without mkdtemp: a random name, taken only when the folder did not exist before.
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec)
        return files::Error {"cannot find the temporary folder for the demo drives: " + ec.message()};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "sorrel-demo-%08x", unsigned(random()));
        if (std::filesystem::create_directory(temp / name, ec))
            return temp / name;
        if (ec)
            break;
    }
    return files::Error {"cannot make a folder for the demo drives in " + temp.string() + ": "
        + (ec ? ec.message() : std::string("every name tried was taken"))};
#else
    auto pattern = (std::filesystem::temp_directory_path() / "sorrel-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return files::Error::from_errno("cannot make a folder for the demo drives", errno);
    return std::filesystem::path(pattern);
#endif
}

} // namespace

files::Result<std::unique_ptr<DemoDrives>> DemoDrives::create()
{
    std::unique_ptr<DemoDrives> demo(new DemoDrives());
    auto root = make_demo_root();
    if (root.is_error())
        return root.error();
    demo->m_root = root.value();
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
