#pragma once

namespace sorrel::lists {

// Makes the standard list controls known to form files: "DriveListBox", "FileListBox" and
// "ListView". The program calls it once at start.
void register_list_controls();

} // namespace sorrel::lists
