#include "platform/files/FolderReading.h"

#include "platform/files/FileSystemObject.h"
#include "platform/files/win32/WindowsFiles.h"

namespace sorrel::files {

using namespace windows;

std::filesystem::path resolve_drive_folder(std::filesystem::path const&)
{
    return {};
}

Result<FileHandle> open_listed_folder(
    DriveMap const& drives, std::string_view path, std::optional<Link>& link)
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    std::string shown(path);
    auto folder = open_folder_through_no_link(drives, parsed.value(), shown);
    if (folder.is_error()) {
        // The walk names no link: looking again follows them, to say where the link is and where it
        // leads. Nothing there (no folder behind the link, or the link gone since) fails as usual.
        if (folder.error().code == ELOOP)
            link = FileSystemObject(drives).link_on_path(path);
        return folder.error();
    }
    return folder;
}

std::vector<std::string> plain_file_names(native_file folder)
{
    std::vector<std::string> files;
    auto entries = list_folder(folder);
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

std::optional<FileIdentity> identity_of_folder(native_file folder)
{
    auto info = examine(folder);
    if (!info)
        return std::nullopt;
    return info->identity;
}

} // namespace sorrel::files
