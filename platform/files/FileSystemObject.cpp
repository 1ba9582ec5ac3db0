#include "platform/files/FileSystemObject.h"

#include "platform/files/Deleter.h"
#include "platform/files/VersionReader.h"
#include "platform/files/WindowsPath.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace sorrel::files {

Result<std::string> FileSystemObject::GetFileVersion(std::string_view path) const
{
    auto file = resolve(m_drives, path);
    if (file.is_error())
        return file.error();
    return read_file_version(file.value());
}

Result<void> FileSystemObject::DeleteFile(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::File);
}

Result<void> FileSystemObject::DeleteFolder(std::string_view path, bool force, DeletionPass const* pass) const
{
    return remove(path, force, pass, Kind::Folder);
}

std::vector<FileIdentity> FileSystemObject::protected_folders() const
{
    std::vector<FileIdentity> folders;
    auto add = [&](std::filesystem::path const& folder) {
        struct stat st { };
        if (::stat(folder.c_str(), &st) == 0)
            folders.push_back({static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
    };
    add("/");
    for (auto const& binding : m_drives.bindings())
        add(binding.folder);
    return folders;
}

Result<void> FileSystemObject::remove(
    std::string_view path, bool force, DeletionPass const* pass, Kind kind) const
{
    auto parsed = WindowsPath::parse(path);
    if (parsed.is_error())
        return parsed.error();
    if (parsed.value().components.empty())
        return Error {"\"" + std::string(path) + "\" is the root folder of a drive", EPERM};
    // The scan comes first, so that the folders we open on the way are not taken for in use.
    std::optional<DeletionPass> own_pass;
    if (!pass)
        pass = &own_pass.emplace(DeletionPass::scan());
    auto opened = open_parent(m_drives, parsed.value(), LinkPolicy::DoNotFollow);
    if (opened.is_error())
        return opened.error();
    Deleter deleter(*pass, force, protected_folders());
    auto const& parent = opened.value();
    std::string shown(path);
    if (kind == Kind::File)
        return deleter.delete_file(parent.directory.get(), parent.name, shown);
    return deleter.delete_folder(parent.directory.get(), parent.name, shown);
}

} // namespace sorrel::files
