#pragma once

#include "platform/files/DriveDiscovery.h"
#include "platform/files/DriveMap.h"
#include "platform/os/FileChecks.h"

#include <filesystem>
#include <string>
#include <vector>

namespace sorrel::app {

// The drives the window scans, from --drive or from looking at the system, with what the user
// should hear about them before it opens.
struct DriveChoice {
    files::DriveMap drives;
    std::string error; // a --drive mapping that cannot serve: the program ends
    std::vector<std::string> notes; // one line each, for stderr
};

// --drive mappings must name folders that exist and can be read. Without them, discovery runs; a
// note says where it looked when it finds nothing, and which folders it left out when the letters
// ran out.
DriveChoice choose_drives(const std::vector<std::string>& drive_arguments, const files::DiscoveryInput& input,
    const files::FileSystemProbe& probe);

// Why `folder` cannot serve as a drive ("no such folder", "not a folder", the system's reason it
// cannot be read); empty when it can.
inline std::string drive_folder_problem(const std::filesystem::path& folder)
{
    return os::folder_problem(folder);
}

// Why the file at `path` cannot be read (the system's reason, or that it is a folder); empty when
// it can.
using os::unreadable_file_problem;

} // namespace sorrel::app
