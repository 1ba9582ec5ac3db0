#pragma once

// What the tests on a real X display share: a virtual X server (Xvfb) of their own at a chosen
// screen size; child processes and command output come from Processes.h.

#include "tests/support/Processes.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace sorrel::test_support {

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
