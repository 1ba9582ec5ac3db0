#pragma once

// What the program sets up before anything else: how a request to stop reaches it, where its
// output goes, and its arguments.

#include <string>
#include <vector>

namespace sorrel::os {

// Told the signal that a request to stop stands for. It runs in a signal handler or on a thread
// of its own, so it may only record the request.
using StopHandler = void (*)(int signal);

// Routes the requests to stop to `handler`: SIGINT, SIGTERM, SIGHUP and SIGPIPE on Linux (a
// second one ends the program at once); Ctrl+C, Ctrl+Break and closing the console on Windows,
// as SIGINT.
void install_stop_handlers(StopHandler handler);

// Started from a console, the Windows program writes its help, errors and transcripts there;
// output already sent elsewhere stays there. Linux programs have their output already.
void attach_parent_console();

// The arguments as UTF-8.
std::vector<std::string> program_arguments(int argc, char** argv);

// Shows `message`, already written on stderr, in a message box when nobody sees stderr (the
// Windows program started from Explorer or a shortcut).
void show_error_if_unseen(const std::string& message);

} // namespace sorrel::os
