#include "platform/os/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace sorrel::os {

base::ErrorOr<std::filesystem::path> make_temp_folder(std::string_view prefix, std::string_view purpose)
{
    auto pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        return base::Error::from_errno("cannot make a folder for " + std::string(purpose), errno);
    return std::filesystem::path(pattern);
}

bool is_own_folder(const std::filesystem::path& folder)
{
    struct stat st { };
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace sorrel::os
