#include "platform/lists/ListControls.h"

#include "platform/host/ControlRegistry.h"
#include "platform/lists/DriveListBox.h"
#include "platform/lists/FileListBox.h"
#include "platform/lists/ListView.h"

namespace sorrel::lists {

void register_list_controls()
{
    host::register_control_kind("DriveListBox", [] { return std::make_unique<DriveListBox>(); });
    host::register_control_kind("FileListBox", [] { return std::make_unique<FileListBox>(); });
    host::register_control_kind("ListView", [] { return std::make_unique<ListView>(); });
}

} // namespace sorrel::lists
