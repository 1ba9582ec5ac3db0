#include "platform/os/FileChecks.h"

#include "platform/base/Utf8Path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sorrel::os {

std::string folder_problem(const std::filesystem::path& folder)
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

} // namespace sorrel::os
