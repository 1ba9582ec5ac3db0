#pragma once

// The few rules of the program that differ by system: each system's are in posix/SystemRules.cpp
// and win32/SystemRules.cpp. (Session::form_file_path is defined there too.)

#include "app/Options.h"

#include <string>

namespace sorrel::app {

// The help as this system's program gives it, from the text written for Linux.
std::string usage_text_for_this_system(std::string linux_text);

// Why `options` ask for what this system cannot do; empty when it can do all of it.
std::string unsupported_option_problem(Options const& options);

} // namespace sorrel::app
