#include "platform/files/FolderReading.h"

#include "platform/files/WindowsFiles.h"

namespace sorrel::files {

using namespace windows;

Result<FileDescriptor> open_listed_folder(DriveMap const& drives, std::string_view path)
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    auto folder_path = full_path(drives, parsed.value());
    if (folder_path.is_error())
        return folder_path.error();
    auto folder = open_folder(folder_path.value(), std::string(path));
    if (folder.is_error())
        return folder.error();
    return to_descriptor(folder.release_value());
}

std::vector<std::string> plain_file_names(int folder_fd)
{
    std::vector<std::string> files;
    auto entries = list_folder(handle_of(folder_fd));
    if (entries.is_error())
        return files;
    constexpr DWORD not_plain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT
        | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    for (auto const& entry : entries.value()) {
        if (!(entry.attributes & not_plain))
            files.push_back(to_utf8(entry.name));
    }
    return files;
}

std::optional<FileIdentity> identity_of_folder(int folder_fd)
{
    auto info = examine(handle_of(folder_fd));
    if (!info)
        return std::nullopt;
    return info->identity;
}

} // namespace sorrel::files
