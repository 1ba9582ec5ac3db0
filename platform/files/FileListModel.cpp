#include "platform/files/FileListModel.h"

#include "platform/base/Cp1252.h"
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

bool is_reserved(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

} // namespace

std::string shown_file_name(std::string_view name)
{
    // The reserved characters are ASCII, so they are replaced before the conversion, whose own
    // "?" marks characters the code page lacks.
    std::string text(name);
    std::replace_if(text.begin(), text.end(), is_reserved, '_');
    return base::utf8_to_cp1252(text);
}

void FileListModel::read()
{
    m_files.clear();
    if (!m_folder)
        return;
    int dir_fd = m_folder->get();
    auto names = list_directory(dir_fd);
    if (names.is_error())
        return;
    DosAttributeReader attributes(dir_fd);
    for (auto& name : names.value()) {
        if (name.starts_with('.'))
            continue;
        struct stat st { };
        if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (auto dos = attributes.read(name); dos && (*dos & (DosHidden | DosSystem)))
            continue;
        auto shown = shown_file_name(name);
        m_files.push_back({std::move(name), std::move(shown)});
    }
    std::sort(m_files.begin(), m_files.end(),
        [](auto const& a, auto const& b) { return less_ignoring_case(a.name, b.name); });
}

Result<void> FileListModel::set_path(std::string_view path)
{
    if (path.empty()) {
        m_path.clear();
        m_folder.reset();
        m_files.clear();
        return {};
    }
    auto folder = open_folder(m_drives, path);
    if (folder.is_error())
        return folder.error();
    m_path = path;
    m_folder = std::make_shared<FileDescriptor const>(folder.release_value());
    read();
    return {};
}

std::string FileListModel::list(std::size_t index) const
{
    return index < m_files.size() ? m_files[index].shown : std::string {};
}

ListedFile FileListModel::listed(std::size_t index) const
{
    if (index >= m_files.size())
        return {};
    return {m_folder, m_files[index].name, m_files[index].shown};
}

std::vector<std::string> FileListModel::names() const
{
    std::vector<std::string> names;
    names.reserve(m_files.size());
    for (auto const& file : m_files)
        names.push_back(file.shown);
    return names;
}

std::optional<FileIdentity> FileListModel::folder_identity() const
{
    struct stat st { };
    if (!m_folder || ::fstat(m_folder->get(), &st) != 0)
        return std::nullopt;
    return FileIdentity {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

void FileListModel::refresh()
{
    read();
}

} // namespace sorrel::files
