#include "platform/files/DeletionPass.h"

namespace sorrel::files {

deletion::Folder* DeletionPass::open_folder(std::shared_ptr<FileHandle const> const& folder) const
{
    if (!folder || !folder->is_open())
        return nullptr;
    if (auto known = m_folders.find(folder.get()); known != m_folders.end())
        return &known->second.folder;
    auto examined = deletion::Folder::borrow(folder->get(), {});
    if (examined.is_error())
        return nullptr;
    auto [added, _] = m_folders.emplace(folder.get(), KeptFolder {folder, examined.release_value()});
    return &added->second.folder;
}

} // namespace sorrel::files
