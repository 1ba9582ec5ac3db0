#include "platform/files/FileListModel.h"

#include "platform/files/DosAttributes.h"
#include "platform/files/NameMatch.h"
#include "platform/files/WindowsPath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace sorrel::files {

namespace {

Result<FileDescriptor> open_folder(DriveMap const& drives, std::string_view text)
{
    auto parsed = WindowsPath::parse(text);
    if (parsed.is_error())
        return parsed.error();
    auto opened = open_parent(drives, parsed.value(), LinkPolicy::Follow);
    if (opened.is_error())
        return opened.error();
    auto& parent = opened.value();
    if (parent.name.empty())
        return std::move(parent.directory);
    FileDescriptor folder(
        ::openat(parent.directory.get(), parent.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.is_open())
        return Error::from_errno("cannot open \"" + std::string(text) + "\"", errno);
    return folder;
}

std::vector<std::string> plain_files(int dir_fd)
{
    auto names = list_directory(dir_fd);
    if (names.is_error())
        return {};
    DosAttributeReader attributes(dir_fd);
    std::vector<std::string> files;
    for (auto& name : names.value()) {
        if (name.starts_with('.'))
            continue;
        struct stat st { };
        if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (auto dos = attributes.read(name); dos && (*dos & (DosHidden | DosSystem)))
            continue;
        files.push_back(std::move(name));
    }
    std::sort(
        files.begin(), files.end(), [](auto const& a, auto const& b) { return less_ignoring_case(a, b); });
    return files;
}

} // namespace

Result<void> FileListModel::set_path(std::string_view path)
{
    if (path.empty()) {
        m_path.clear();
        m_names.clear();
        return {};
    }
    auto folder = open_folder(m_drives, path);
    if (folder.is_error())
        return folder.error();
    m_path = path;
    m_names = plain_files(folder.value().get());
    return {};
}

std::string FileListModel::list(std::size_t index) const
{
    return index < m_names.size() ? m_names[index] : std::string {};
}

void FileListModel::refresh()
{
    m_names.clear();
    if (m_path.empty())
        return;
    if (auto folder = open_folder(m_drives, m_path); !folder.is_error())
        m_names = plain_files(folder.value().get());
}

} // namespace sorrel::files
