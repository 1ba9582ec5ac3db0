#pragma once

// What the tests on a real X display share: a virtual X server (Xvfb) of their own, child
// processes that end with the test, and the output of short commands such as xdotool.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
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

// The output of a short command, without its trailing line break.
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

// An Xvfb server with one screen of `size` ("800x600"), stopped when the object goes. `name` is
// its display (":99"), empty when it did not start.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& size)
    {
        // Xvfb tells its display number through a pipe.
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_server
            = std::make_unique<Child>(std::vector<std::string> {"Xvfb", "-displayfd", std::to_string(fds[1]),
                                          "-screen", "0", size + "x24", "-nolisten", "tcp"},
                std::vector<std::string> {}, fds[1]);
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            name = ":" + number;
    }

    std::string name;

private:
    std::unique_ptr<Child> m_server;
};

} // namespace sorrel::test_support
