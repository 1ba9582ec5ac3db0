#include "platform/files/DriveDiscovery.h"

#include "platform/files/win32/WindowsFiles.h"

#include <shlobj.h>

namespace sorrel::files {

using namespace windows;

DriveMap drives_from_roots(
    std::wstring_view roots, std::function<unsigned(std::wstring const&)> const& drive_type)
{
    DriveMap drives;
    while (!roots.empty()) {
        auto end = roots.find(L'\0');
        std::wstring root(roots.substr(0, end));
        roots = end == std::wstring_view::npos ? std::wstring_view {} : roots.substr(end + 1);
        if (root.size() < 2 || root[1] != L':' || root[0] > L'z')
            continue;
        char letter = drive_letter(static_cast<char>(root[0]));
        unsigned type = drive_type(root);
        if (!letter || type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
            continue;
        (void)drives.add(letter, std::filesystem::path(std::wstring(1, root[0]) + L":\\"));
    }
    return drives;
}

FileSystemProbe FileSystemProbe::real()
{
    FileSystemProbe probe;
    probe.folder_identity = [](std::filesystem::path const& path) -> std::optional<FileIdentity> {
        auto folder = open_folder(path.wstring(), path.string());
        if (folder.is_error())
            return std::nullopt;
        auto info = examine(folder.value().get());
        return info ? std::optional(info->identity) : std::nullopt;
    };
    probe.list = [](std::filesystem::path const& path) {
        std::vector<std::string> names;
        if (auto folder = open_folder(path.wstring(), path.string()); !folder.is_error()) {
            if (auto entries = list_folder(folder.value().get()); !entries.is_error()) {
                for (auto const& entry : entries.value())
                    names.push_back(to_utf8(entry.name));
            }
        }
        return names;
    };
    return probe;
}

// Windows names its drives itself: there are no prefixes or mounts to read.
DiscoveryInput DiscoveryInput::from_system()
{
    return {};
}

DriveMap discover_drives(DiscoveryInput const&, FileSystemProbe const&, std::vector<std::filesystem::path>*)
{
    std::wstring roots(GetLogicalDriveStringsW(0, nullptr), L'\0');
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    if (length == 0 || length > roots.size())
        return {};
    roots.resize(length);
    return drives_from_roots(roots, [](std::wstring const& root) { return GetDriveTypeW(root.c_str()); });
}

std::vector<std::string> system_program_folders()
{
    std::vector<std::string> folders;
    for (int which : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetFolderPathW(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
            continue;
        std::wstring_view folder = path;
        while (folder.size() > 3 && folder.back() == L'\\')
            folder.remove_suffix(1);
        // Only a folder below a drive's root can be looked for on every drive.
        if (folder.size() > 3 && folder[1] == L':' && folder[2] == L'\\')
            folders.push_back(to_utf8(folder.substr(2)));
    }
    return folders;
}

Result<DriveMap> drives_for_program(std::vector<std::string> const& drive_arguments)
{
    if (!drive_arguments.empty())
        return DriveMap::from_arguments(drive_arguments);
    return discover_drives(DiscoveryInput::from_system(), FileSystemProbe::real());
}

} // namespace sorrel::files
