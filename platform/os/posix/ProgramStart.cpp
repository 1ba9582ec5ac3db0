#include "platform/os/ProgramStart.h"

#include <csignal>
#include <signal.h>

namespace sorrel::os {

namespace {

StopHandler g_stop_handler = nullptr;

extern "C" void stop_on_signal(int signal)
{
    g_stop_handler(signal);
}

} // namespace

void install_stop_handlers(StopHandler handler)
{
    g_stop_handler = handler;
    struct sigaction action { };
    action.sa_handler = stop_on_signal;
    sigemptyset(&action.sa_mask);
    // A second signal ends the program at once; writes under way are not cut short.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(signal, &action, nullptr);
}

void attach_parent_console()
{ }

std::vector<std::string> program_arguments(int argc, char** argv)
{
    return {argv, argv + argc};
}

void show_error_if_unseen(const std::string&)
{ }

} // namespace sorrel::os
