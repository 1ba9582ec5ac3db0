#include "platform/files/FileListModel.h"

#include "platform/base/Cp1252.h"
#include "platform/files/FolderReading.h"
#include "platform/files/NameMatch.h"

#include <algorithm>

namespace sorrel::files {

namespace {

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
    for (auto& name : plain_file_names(m_folder->get())) {
        auto shown = shown_file_name(name);
        m_files.push_back({std::move(name), std::move(shown)});
    }
    std::sort(m_files.begin(), m_files.end(),
        [](auto const& a, auto const& b) { return less_ignoring_case(a.name, b.name); });
}

Result<void> FileListModel::set_path(std::string_view path)
{
    std::optional<Link> link;
    std::shared_ptr<FileHandle const> folder;
    if (!path.empty()) {
        auto opened = open_listed_folder(m_drives, path, link);
        // Through a link the folder shows nothing: the files there are another folder's.
        if (opened.is_error() && !link)
            return opened.error();
        if (!opened.is_error())
            folder = std::make_shared<FileHandle const>(opened.release_value());
    }
    m_path = path;
    m_link = std::move(link);
    m_folder = std::move(folder);
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
    if (!m_folder)
        return std::nullopt;
    return identity_of_folder(m_folder->get());
}

void FileListModel::refresh()
{
    read();
}

} // namespace sorrel::files
