// The real SDL2 window under Xvfb, driven with xdotool: after "Begin Scan" its results page must
// look like the headless capture of the same state. Skips when Xvfb or xdotool is missing.

#include "AppFixture.h"
#include "platform/host/StdPicture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {

bool on_path(const std::string& program)
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
    bool started() const { return m_pid > 0; }

private:
    pid_t m_pid {-1};
};

// The output of a short command.
std::string output_of(const std::string& command)
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

std::optional<gdi::Surface> capture(Display* display, Window window)
{
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(display, window, &attributes))
        return std::nullopt;
    XImage* image = XGetImage(
        display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return std::nullopt;
    gdi::Surface pixels(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            pixels.set_pixel(x, y, gdi::rgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)));
        }
    }
    XDestroyImage(image);
    return pixels;
}

long differing_pixels(const gdi::Surface& a, const gdi::Surface& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return long(a.width()) * a.height() + 1;
    long count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += gdi::without_alpha(a.pixel(x, y)) != gdi::without_alpha(b.pixel(x, y));
    }
    return count;
}

struct RealWindow : AppFixture { };

} // namespace

TEST_F(RealWindow, TheResultsPageLooksAsItDoesHeadless)
{
    if (!on_path("Xvfb") || !on_path("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb and xdotool)";
    older_messenger('c');
    newer_messenger('d');

    // The headless capture of the results page.
    open();
    ASSERT_TRUE(headless->click(w->CmdSCan));
    gdi::Point click = host().pointer();
    headless->advance(1500);
    gdi::Surface expected = headless->screen();

    // Xvfb tells its display number through a pipe.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    Child xvfb(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp"}, {},
        fds[1]);
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    std::string display_name = ":" + number;

    Child sorrel(
        {SORREL_PROGRAM, "--drive", "c:=" + drive('c').string(), "--drive", "d:=" + drive('d').string()},
        {"DISPLAY=" + display_name});
    std::string env = "DISPLAY=" + display_name + " ";
    std::string window
        = output_of(env + "timeout 20 xdotool search --sync --name '^Sorrel$' 2>/dev/null | head -n 1");
    ASSERT_FALSE(window.empty()) << "the window did not appear";
    auto click_begin_scan = [&] {
        output_of(env + "xdotool mousemove --window " + window + " " + std::to_string(click.x) + " "
            + std::to_string(click.y) + " click 1");
    };

    Display* display = XOpenDisplay(display_name.c_str());
    ASSERT_NE(display, nullptr);
    Window id = Window(std::stoul(window));
    // The run lasts about a second of real time; look until the page matches or time is up. A slow
    // build may map the window before it reads input, so a click after which nothing moves for two
    // seconds is given again; that is harmless once the scan has started and the page has changed.
    std::optional<gdi::Surface> shot;
    std::optional<gdi::Surface> previous;
    long difference = -1;
    int clicks = 0;
    int unchanged = 0;
    for (int attempt = 0; attempt < 150; ++attempt) {
        if (clicks == 0 || (unchanged >= 10 && clicks < 5)) {
            click_begin_scan();
            ++clicks;
            unchanged = 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        shot = capture(display, id);
        if (!shot)
            continue;
        difference = differing_pixels(*shot, expected);
        if (difference == 0)
            break;
        unchanged = previous && differing_pixels(*shot, *previous) == 0 ? unchanged + 1 : 0;
        previous = shot;
    }
    XCloseDisplay(display);
    ASSERT_TRUE(shot.has_value());
    (void)host::save_png(*shot, "real-window-results.png");
    EXPECT_EQ(difference, 0) << "see real-window-results.png in the test's folder";
}
