#include "platform/os/FileChecks.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::os {

std::string folder_problem(const std::filesystem::path& folder)
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

} // namespace sorrel::os
