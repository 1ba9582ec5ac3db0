// The sorrel program as a user starts it: its exit status and what it says on stderr.

#include "tests/platform/files/TempFolder.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>

using namespace sorrel::test_support;
namespace fs = std::filesystem;

namespace {

int count_lines(const std::string& text)
{
    return int(std::count(text.begin(), text.end(), '\n'));
}

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "tmp");
        fs::create_directories(m_root / "home");
    }
    // Runs sorrel with a home and a temporary folder of its own and the given environment.
    Finished sorrel(std::vector<std::string> args, std::vector<std::string> environment = {})
    {
        args.insert(args.begin(), SORREL_PROGRAM);
        environment.push_back("HOME=" + (m_root / "home").string());
        environment.push_back("TMPDIR=" + (m_root / "tmp").string());
        return run_program(args, environment);
    }
    // Whatever sorrel left in its temporary folder (the demo drives live there).
    bool temporary_folder_is_empty() const { return fs::is_empty(m_root / "tmp"); }

    sorrel::files::test::TempFolder m_temp;
    const fs::path& m_root = m_temp.path();
};

// An X display number with no server behind it.
std::string unused_display()
{
    for (int n = 4000; n < 4100; ++n) {
        std::string number = std::to_string(n);
        if (!fs::exists("/tmp/.X11-unix/X" + number) && !fs::exists("/tmp/.X" + number + "-lock"))
            return ":" + number;
    }
    return ":4099";
}

// An Xauthority file with one cookie for any display.
void write_cookie_file(const fs::path& file)
{
    std::ofstream out(file, std::ios::binary);
    auto field = [&](const std::string& bytes) {
        out.put(char(bytes.size() >> 8)).put(char(bytes.size() & 0xFF)) << bytes;
    };
    out.put(char(0xFF)).put(char(0xFF)); // any address family
    field("");
    field("");
    field("MIT-MAGIC-COOKIE-1");
    field("0123456789abcdef");
}

} // namespace

TEST_F(Program, ADisplayWithNoServerEndsAtOnceInOneLine)
{
    std::string display = unused_display();
    Finished run = sorrel({"--demo"}, {"DISPLAY=" + display});
    ASSERT_FALSE(run.timed_out) << "an unusable display left an invisible window running";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(count_lines(run.err), 1) << run.err;
    EXPECT_EQ(run.err.rfind("sorrel: cannot open the window (DISPLAY=" + display + "): ", 0), 0u) << run.err;
    EXPECT_TRUE(temporary_folder_is_empty()) << "the demo drives were left behind";
}

TEST_F(Program, AServerThatRefusesIsQuotedInItsOwnWords)
{
    if (!on_path("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    write_cookie_file(m_root / "cookie");
    Xvfb server((m_root / "cookie").string());
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    Finished run = sorrel({"--demo"}, {"DISPLAY=" + server.display(), "XAUTHORITY=/dev/null"});
    ASSERT_FALSE(run.timed_out) << "a refused connection left an invisible window running";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(count_lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("): Authorization required"), std::string::npos) << run.err;
    EXPECT_TRUE(temporary_folder_is_empty()) << "the demo drives were left behind";
}

TEST_F(Program, DriversThatShowNothingAreRefused)
{
    for (std::string driver : {"offscreen", "dummy"}) {
        Finished run = sorrel({"--demo"}, {"SDL_VIDEODRIVER=" + driver});
        ASSERT_FALSE(run.timed_out) << driver;
        EXPECT_EQ(run.status, 1) << driver;
        EXPECT_EQ(count_lines(run.err), 1) << run.err;
        EXPECT_NE(run.err.find("\"" + driver + "\" video driver shows no window"), std::string::npos)
            << run.err;
        EXPECT_TRUE(temporary_folder_is_empty()) << driver;
    }
}

TEST_F(Program, NothingToScanIsSaidInOneLineOnStderr)
{
    std::ofstream empty_script(m_root / "empty.script");
    empty_script.close();
    std::string script = (m_root / "empty.script").string();

    // Discovery in an empty home: the window runs, and one line says where Sorrel looked.
    Finished run = sorrel({"--headless", "--script", script});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(count_lines(run.err), 1) << run.err;
    EXPECT_EQ(run.err.rfind("sorrel: found no drive to scan: ", 0), 0u) << run.err;

    // A mapping that cannot serve ends the program before the window opens.
    run = sorrel({"--drive", "c:=/nonexistent", "--headless", "--script", script});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "sorrel: --drive c:=/nonexistent: no such folder\n");
    run = sorrel({"--drive", "c:=" + script, "--headless", "--script", script});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "sorrel: --drive c:=" + script + ": not a folder\n");

    run = sorrel({"--headless", "--script", "/nonexistent.script"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "sorrel: cannot read the script /nonexistent.script: No such file or directory\n");
}

TEST_F(Program, TheWindowTakesItsScaleFromTheOptionOrTheDesktop)
{
    if (!on_path("Xvfb") || !on_path("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb and xdotool)";
    Xvfb server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    fs::create_directories(m_root / "c");
    auto window_size = [&](std::vector<std::string> args, std::vector<std::string> environment) {
        args.insert(args.begin(), {SORREL_PROGRAM, "--drive", "c:=" + (m_root / "c").string()});
        environment.push_back("DISPLAY=" + server.display());
        Child sorrel(args, environment);
        std::string size = output_of("DISPLAY=" + server.display()
            + " timeout 20 xdotool search --sync --name '^Sorrel$' getwindowgeometry --shell 2>/dev/null"
              " | grep -E '^(WIDTH|HEIGHT)=' | tr '\\n' ' '");
        return size;
    };
    EXPECT_EQ(window_size({"--scale", "2"}, {}), "WIDTH=550 HEIGHT=516");
    EXPECT_EQ(window_size({}, {"GDK_SCALE=2"}), "WIDTH=550 HEIGHT=516");
    EXPECT_EQ(window_size({"--scale", "1"}, {"GDK_SCALE=2"}), "WIDTH=275 HEIGHT=258");
}
