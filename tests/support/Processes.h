#pragma once

// Other programs for the tests that run one: the sorrel program itself, Xvfb, xdotool.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sorrel::test_support {

inline bool on_path(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// The output of a short shell command, without its trailing blanks.
inline std::string output_of(const std::string& command)
{
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        ::pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A child process that is stopped when the object goes.
class Child {
public:
    Child(std::vector<std::string> argv, const std::vector<std::string>& environment, int keep_fd = -1)
    {
        m_pid = ::fork();
        if (m_pid == 0) {
            for (auto& entry : environment)
                ::putenv(const_cast<char*>(entry.c_str()));
            std::vector<char*> args;
            for (auto& a : argv)
                args.push_back(a.data());
            args.push_back(nullptr);
            for (int fd = 3; fd < 256; ++fd) {
                if (fd != keep_fd)
                    ::close(fd);
            }
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool started() const { return m_pid > 0; }

private:
    pid_t m_pid {-1};
};

// An Xvfb server on a free display number, with access control when `auth_file` names a cookie
// file; gone with the object.
class Xvfb {
public:
    explicit Xvfb(const std::string& auth_file = {})
    {
        // Xvfb tells its display number through a pipe.
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        std::vector<std::string> argv {
            "Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp"};
        if (!auth_file.empty()) {
            argv.push_back("-auth");
            argv.push_back(auth_file);
        }
        m_server.emplace(argv, std::vector<std::string> {}, fds[1]);
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            m_display = ":" + number;
    }
    // ":N", or empty when the server did not start.
    const std::string& display() const { return m_display; }

private:
    std::optional<Child> m_server;
    std::string m_display;
};

// Starts `argv` with exactly `environment`, its standard output and error going to `out_fd` and
// `err_fd` where they are not -1. Gives the child's process id, or -1.
inline pid_t start_program(
    std::vector<std::string> argv, std::vector<std::string> environment, int out_fd = -1, int err_fd = -1)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (out_fd >= 0)
            ::dup2(out_fd, 1);
        if (err_fd >= 0)
            ::dup2(err_fd, 2);
        std::vector<char*> args, env;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        for (auto& e : environment)
            env.push_back(e.data());
        env.push_back(nullptr);
        ::execve(args[0], args.data(), env.data());
        ::_exit(127);
    }
    return pid;
}

struct Finished {
    int status {-1}; // the exit status; -1 when killed or timed out
    bool timed_out {false};
    std::string out;
    std::string err;
};

// Runs `argv` with only `environment` (plus PATH and the sanitizers' options), gives its output,
// and kills it after `timeout_ms`.
inline Finished run_program(
    std::vector<std::string> argv, std::vector<std::string> environment, int timeout_ms = 20000)
{
    Finished finished;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return finished;
    for (const char* kept : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(kept))
            environment.push_back(std::string(kept) + "=" + value);
    }
    // A sanitized build would otherwise list its leak suppressions on stderr.
    environment.push_back("LSAN_OPTIONS=print_suppressions=0");
    pid_t pid = start_program(std::move(argv), std::move(environment), out[1], err[1]);
    ::close(out[1]);
    ::close(err[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    pollfd fds[2] {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            finished.timed_out = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(fds, 2, int(left.count())) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? finished.out : finished.err).append(buffer, size_t(got));
            }
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!finished.timed_out && WIFEXITED(status))
        finished.status = WEXITSTATUS(status);
    return finished;
}

} // namespace sorrel::test_support
