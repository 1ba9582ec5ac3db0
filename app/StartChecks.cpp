#include "app/StartChecks.h"

#include "platform/base/Utf8Path.h"

#include <cerrno>
#include <cstring>
#ifdef _WIN32
#include <cstdio>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sorrel::app {

#ifdef _WIN32
std::string drive_folder_problem(const std::filesystem::path& folder)
{
    std::error_code ec;
    auto status = std::filesystem::status(folder, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return "no such folder";
    if (ec)
        return ec.message();
    if (status.type() != std::filesystem::file_type::directory)
        return "not a folder";
    std::filesystem::directory_iterator listing(folder, ec);
    if (ec)
        return "cannot be read: " + ec.message();
    return {};
}

std::string unreadable_file_problem(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(base::utf8_path(path), ec))
        return "it is a folder";
    std::FILE* file = ::_wfopen(base::utf8_path(path).c_str(), L"rb");
    if (!file)
        return std::strerror(errno);
    std::fclose(file);
    return {};
}
#else
std::string drive_folder_problem(const std::filesystem::path& folder)
{
    struct stat st { };
    if (::stat(folder.c_str(), &st) != 0)
        return errno == ENOENT ? "no such folder" : std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return "not a folder";
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return std::string("cannot be read: ") + std::strerror(errno);
    ::closedir(listing);
    return {};
}

std::string unreadable_file_problem(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    struct stat st { };
    bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    return folder ? "it is a folder" : "";
}
#endif

DriveChoice choose_drives(const std::vector<std::string>& drive_arguments, const files::DiscoveryInput& input,
    const files::FileSystemProbe& probe)
{
    DriveChoice choice;
    if (!drive_arguments.empty()) {
        auto map = files::DriveMap::from_arguments(drive_arguments);
        if (map.is_error()) {
            choice.error = map.error().message;
            return choice;
        }
        for (const auto& binding : map.value().bindings()) {
            if (auto problem = drive_folder_problem(binding.folder); !problem.empty()) {
                choice.error = "--drive " + binding.name() + "=" + binding.folder.string() + ": " + problem;
                return choice;
            }
        }
        choice.drives = map.release_value();
        return choice;
    }

    std::vector<std::filesystem::path> left_out;
    choice.drives = files::discover_drives(input, probe, &left_out);
    if (choice.drives.is_empty()) {
        std::filesystem::path own_prefix
            = input.wine_prefix ? std::filesystem::path(*input.wine_prefix) : input.home / ".wine";
        choice.notes.push_back("found no drive to scan: no Wine prefix at " + own_prefix.string()
            + " or in the folders of Wine front ends, and no Windows partition mounted; scan a folder "
              "with --drive X:=DIR");
    }
    if (!left_out.empty()) {
        std::string folders;
        for (const auto& folder : left_out)
            folders += (folders.empty() ? "" : ", ") + folder.string();
        choice.notes.push_back("more drives than free letters; left out " + folders);
    }
    return choice;
}

} // namespace sorrel::app
