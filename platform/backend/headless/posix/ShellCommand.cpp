#include "platform/backend/headless/ShellCommand.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace sorrel::backend {

std::string run_shell(const std::string& command, int& status)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    std::string shell = "/bin/sh";
    std::string flag = "-c";
    std::string text = command;
    char* argv[] = {shell.data(), flag.data(), text.data(), nullptr};
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return "cannot run /bin/sh";
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR)
            return "lost the command";
    }
    if (WIFSIGNALED(raw))
        return "the command was killed by signal " + std::to_string(WTERMSIG(raw));
    status = WEXITSTATUS(raw);
    return {};
}

} // namespace sorrel::backend
