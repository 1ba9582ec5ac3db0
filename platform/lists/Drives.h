#pragma once

#include "platform/files/DriveMap.h"

#include <memory>

namespace sorrel::lists {

// The drives that the drive lists show and that file lists and the file-system object resolve
// paths on. The program chooses them once at start (discovery, --drive, the demo); a list keeps
// the map it was made with, so replacing it later never pulls a map from under a live control.
void use_drives(files::DriveMap drives);
std::shared_ptr<const files::DriveMap> current_drives();

} // namespace sorrel::lists
