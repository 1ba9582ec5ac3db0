// `sorrel --demo` stopped by a signal at a random moment of its start-up or its script: it must
// end (never hang), by that signal or normally, and leave no demo drive behind. SIGPIPE comes the
// way `sorrel ... | head -1` sends it: the reader goes away after the first line.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Scans the demo drives, removes the older Messenger and dumps the window now and then.
constexpr const char* Script = "click CmdSCan\n"
                               "dump\n"
                               "wait 1100\n"
                               "dump\n"
                               "click CmdRemove\n"
                               "answer yes\n"
                               "answer no\n"
                               "click CmdUnistall\n"
                               "dump\n";

struct Round {
    int signal;
    int delay_us;
};

class Signals : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto pattern = (fs::temp_directory_path() / "sorrel-signals-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        m_root = pattern;
        m_script = m_root / "run.script";
        std::ofstream(m_script) << Script;
        m_tmp = m_root / "tmp";
        fs::create_directories(m_tmp);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    // Starts sorrel with its output on a pipe and TMPDIR in a folder of our own; returns the read
    // end of the pipe.
    pid_t start(int& output)
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::string program = SORREL_PROGRAM;
        std::string a1 = "--demo", a2 = "--headless", a3 = "--script", a4 = m_script.string();
        char* argv[] = {program.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
        std::string tmpdir = "TMPDIR=" + m_tmp.string();
        std::string path
            = std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
        char* envp[] = {tmpdir.data(), path.data(), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        output = fds[0];
        return pid;
    }

    // Waits for the process; false when it does not end within `seconds` (it is then killed).
    static bool wait_for(pid_t pid, int& status, int seconds)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            pid_t got = ::waitpid(pid, &status, WNOHANG);
            if (got == pid)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return false;
    }

    // One run: the signal after `delay_us`, or for SIGPIPE the pipe closed after the first line
    // (or after `delay_us` if no line came by then).
    void run(const Round& round, const std::string& what)
    {
        int output = -1;
        pid_t pid = start(output);
        ASSERT_GT(pid, 0);
        if (round.signal == SIGPIPE) {
            auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(round.delay_us);
            // Like head -1: read up to the first line, then go.
            char c;
            while (std::chrono::steady_clock::now() < until) {
                if (::read(output, &c, 1) != 1 || c == '\n')
                    break;
            }
            ::close(output);
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(round.delay_us));
            ::kill(pid, round.signal);
        }
        int status = 0;
        bool ended = wait_for(pid, status, 20);
        if (round.signal != SIGPIPE)
            ::close(output);
        EXPECT_TRUE(ended) << what << ": sorrel did not end";
        bool by_signal = WIFSIGNALED(status) && WTERMSIG(status) == round.signal;
        bool normally = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        EXPECT_TRUE(by_signal || normally) << what << ": status " << status;
        std::vector<std::string> left;
        for (auto& entry : fs::directory_iterator(m_tmp))
            left.push_back(entry.path().filename().string());
        EXPECT_TRUE(left.empty()) << what << ": left behind " << ::testing::PrintToString(left);
        for (auto& name : left)
            fs::remove_all(m_tmp / name);
    }

    fs::path m_root;
    fs::path m_script;
    fs::path m_tmp;
};

} // namespace

TEST_F(Signals, AnySignalDuringStartUpEndsTheDemoAndRemovesItsDrives)
{
    // How long a whole run takes here, so that the moments fall all over it.
    int output = -1;
    auto started = std::chrono::steady_clock::now();
    pid_t pid = start(output);
    std::string transcript;
    char buffer[4096];
    for (ssize_t n; (n = ::read(output, buffer, sizeof buffer)) > 0;)
        transcript.append(buffer, size_t(n));
    ::close(output);
    int status = 0;
    ASSERT_TRUE(wait_for(pid, status, 20));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_NE(transcript.find("msgbox 4 \"Complete!\""), std::string::npos) << transcript;
    auto whole_us = int(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started)
            .count());

    unsigned seed = std::random_device {}();
    std::mt19937 random(seed);
    // The moments fall in the first half of a run: start-up and the scan.
    std::uniform_int_distribution<int> moment(0, std::max(1000, whole_us / 2));
    int rounds = 0;
    for (int i = 0; i < 75 && !HasFailure(); ++i) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            Round round {signal, moment(random)};
            run(round,
                std::string(strsignal(signal)) + " after " + std::to_string(round.delay_us) + " us (seed "
                    + std::to_string(seed) + ")");
            ++rounds;
        }
    }
    EXPECT_EQ(rounds, 300);
}
