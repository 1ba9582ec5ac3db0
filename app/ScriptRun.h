#pragma once

// What a headless script run adds to the window: the drives' folders for the script's sh
// commands, and, for tests, drives that answer slowly.

#include "app/FrmSorrel.h"
#include "platform/files/DriveMap.h"
#include "platform/host/ErrorOr.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::app {

// A test hook (--slow-drive X:=MS): each use of such a drive lets MS milliseconds of virtual time
// pass with the window's timers running, as though the drive took that long to answer while the
// window went on handling its events. It lets a script reach what depends on timing: a verdict
// that waits for a slow scan, a close that comes between two deleted files.
class SlowDrives {
public:
    static constexpr double LongestDelayMs = 60000;

    // Reads "X:=MS" arguments, MS from 0 to 60000; fails naming the bad one.
    static host::ErrorOr<SlowDrives> parse(const std::vector<std::string>& arguments);
    // The delay of the drive that a Windows path starts with; 0 for any other path.
    double delay_for(std::string_view path) const;
    // Connects to the window; `pass_time` lets that many milliseconds go by.
    void apply(FrmSorrel& window, std::function<void(double ms)> pass_time) const;

private:
    std::array<double, 26> m_delay_ms {};
};

// Sets SORREL_DRIVE_C (and so on, upper case) to each drive's folder, so that a script's sh
// commands can reach the files the window sees.
void export_drive_folders(const files::DriveMap& drives);

} // namespace sorrel::app
