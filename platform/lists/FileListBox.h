#pragma once

#include "platform/files/FileListModel.h"
#include "platform/files/Result.h"
#include "platform/host/Canvas.h"
#include "platform/host/Control.h"

#include <memory>
#include <string>
#include <string_view>

namespace sorrel::lists {

// A file list: the normal, archive and read-only files of one folder, named by a Windows path on
// the program's drives, sorted without regard to case. Setting Path to a folder that is not there
// fails and the list keeps its folder and entries; the empty text clears it.
class FileListBox : public host::Control {
public:
    FileListBox();

    std::string_view kind() const override { return "FileListBox"; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    // The folder exactly as it was set.
    const std::string& Path() const { return m_model.path(); }
    // The link that kept the folder from being read: a folder reached through one lists nothing.
    const std::optional<files::Link>& link() const { return m_model.link(); }
    files::Result<void> Path(std::string_view path);
    int ListCount() const { return int(m_model.list_count()); }
    // The entry's file name as shown (Windows-1252); the empty text outside 0 .. ListCount() - 1.
    std::string List(int index) const;
    // The entry as the list read it, for deleting exactly that file.
    files::ListedFile listed_file(int index) const;
    std::optional<files::FileIdentity> folder_identity() const { return m_model.folder_identity(); }
    // Reads the folder again.
    void Refresh();

    // The folder, a colon, then the entries, each in quotes: "c:\\Folder": "a.exe" "b.dll".
    std::string dump_text() const override;
    bool describe_accessible(host::AccessibleNode& node) const override;

protected:
    void handle_system_colors_changed() override
    {
        m_canvas.refresh_system_colors();
        repaint();
    }
    void handle_resize() override;

private:
    void repaint();

    std::shared_ptr<const files::DriveMap> m_drives;
    files::FileListModel m_model;
    host::Canvas m_canvas;
};

} // namespace sorrel::lists
