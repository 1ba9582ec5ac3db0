#pragma once

// `sorrel --detect` and `sorrel --remove-older`: the window's scan and removal run without a
// window, for scripts and deployment tools, which read the exit status and keep the report.

#include "app/Options.h"
#include "platform/files/DriveMap.h"

#include <ostream>

namespace sorrel::app {

// The exit statuses, as the README's table lists them.
namespace exit_status {
constexpr int Done = 0; // nothing to remove, or the older folder is gone
constexpr int Found = 1; // --detect: an older version beside a newer one; --remove-older: something stayed
constexpr int Usage = 2;
constexpr int CannotScan = 3;
constexpr int RestartNeeded = 3010; // --at-reboot scheduled the rest for the next start
// Another Sorrel is removing: 1618 on Windows, as its installers say it, 75 on Linux, where a status
// has 8 bits (posix/SystemRules.cpp, win32/SystemRules.cpp).
extern const int AnotherRunning;
} // namespace exit_status

// Scans `drives` and prints the report on `out`; problems go to `err`.
int run_detect(Options const& options, files::DriveMap const& drives, std::ostream& out, std::ostream& err);
// Scans, then removes the older version when there are two, and prints the report.
int run_remove_older(
    Options const& options, files::DriveMap const& drives, std::ostream& out, std::ostream& err);

} // namespace sorrel::app
