#pragma once

#include <string>

namespace sorrel::backend {

// Runs `command` with the system's shell (/bin/sh, or cmd.exe on Windows), its input empty and its
// output on our stderr. Sets `status` to its exit status and gives an empty string, or gives a
// message when it could not run or was killed.
std::string run_shell(const std::string& command, int& status);

} // namespace sorrel::backend
