// The real SDL2 window under Xvfb, driven with xdotool: after "Begin Scan" its results page must
// look like the headless capture of the same state. Skips when Xvfb or xdotool is missing.

#include "platform/host/StdPicture.h"
#include "tests/app/AppFixture.h"
#include "tests/support/Processes.h"
#include "tests/support/WatchedWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace sorrel;
using namespace sorrel::app::testing;
using namespace sorrel::test_support;

namespace {

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

struct RealWindow : AppFixture { };

} // namespace

TEST_F(RealWindow, TheResultsPageLooksAsItDoesHeadless)
{
    if (!on_path("Xvfb") || !on_path("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb and xdotool)";
    older_messenger('c');
    newer_messenger('d');

    gdi::Surface expected;
    gdi::Point click;
    ASSERT_NO_FATAL_FAILURE(headless_results_page(expected, click));

    Xvfb xvfb;
    ASSERT_FALSE(xvfb.display().empty()) << "Xvfb did not start";
    const std::string& display_name = xvfb.display();

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
    // The run lasts about a second of real time; look until the page matches or time is up.
    WatchedPage watched = watch_for_page(expected, click_begin_scan, [&] { return capture(display, id); });
    XCloseDisplay(display);
    ASSERT_TRUE(watched.shot.has_value());
    (void)host::save_png(*watched.shot, "real-window-results.png");
    EXPECT_EQ(watched.difference, 0) << "see real-window-results.png in the test's folder";
}
