#pragma once

#include "platform/files/DriveMap.h"
#include "platform/host/Canvas.h"
#include "platform/host/Control.h"

#include <memory>
#include <string>

namespace sorrel::lists {

// A drive list: one entry per drive of the drive map, in letter order, named "c:", "d:" ...
// It shows the current drive, the first entry, like a closed drop-down list.
class DriveListBox : public host::Control {
public:
    DriveListBox();

    std::string_view kind() const override { return "DriveListBox"; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    int ListCount() const { return int(m_entries.size()); }
    // The entry's text; the empty text outside 0 .. ListCount() - 1.
    std::string List(int index) const;
    // The current drive (the first entry), empty when there are no drives.
    std::string Drive() const { return List(0); }
    // Reads the drive map again.
    void Refresh();

    // The entries, each in quotes: "c:" "d:".
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

    host::Canvas m_canvas;
    std::vector<std::string> m_entries;
};

} // namespace sorrel::lists
