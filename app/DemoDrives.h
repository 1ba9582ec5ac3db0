#pragma once

#include "platform/files/DriveMap.h"
#include "platform/files/Result.h"

#include <filesystem>
#include <memory>

namespace sorrel::app {

// Two drives in a fresh temporary folder, made for `sorrel --demo`: c: holds the older Messenger
// (msmsgs.exe, version 4.7.3001.0, with a few companion files) and d: holds MSN Messenger
// (msnmsgr.exe, version 7.0.816.0). Everything goes when the object does.
//
// A demo killed from outside leaves its folder behind. Each folder carries a marker naming the
// process that made it, and the next demo removes the folders whose process no longer runs.
// A folder without the marker is never touched.
class DemoDrives {
public:
    // The marker in a demo folder: "sorrel demo", then the process's id and its start time.
    static constexpr const char* MarkerName = "sorrel-demo-owner";

    static files::Result<std::unique_ptr<DemoDrives>> create();
    ~DemoDrives();
    DemoDrives(const DemoDrives&) = delete;
    DemoDrives& operator=(const DemoDrives&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    const files::DriveMap& drives() const { return m_drives; }
    // Removes the folder now (also done by the destructor); safe to call twice.
    void remove();

private:
    DemoDrives() = default;

    std::filesystem::path m_root;
    files::DriveMap m_drives;
};

} // namespace sorrel::app
