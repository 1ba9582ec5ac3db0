// sorrel: opens the main window on a display (SDL2 on Linux, Win32 on Windows), or runs it
// headless for a UI script or a screenshot. The drives come from --drive, from --demo, or from
// looking at the system.

#include "app/DemoDrives.h"
#include "app/Options.h"
#include "app/ScriptRun.h"
#include "app/Session.h"
#include "app/StartChecks.h"
#include "app/Unattended.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/backend/headless/ScriptRunner.h"
#include "platform/files/DriveDiscovery.h"
#include "platform/gdi/SystemColors.h"
#include "platform/lists/Drives.h"
#include "platform/os/ProgramStart.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/backend/win32/Win32Backend.h"
#else
#include "platform/backend/sdl/SdlBackend.h"
#endif

using namespace sorrel;

namespace {

// The signal that asked the program to stop, 0 for none. The handler only records it: the window
// or the script ends at its next look, main removes the demo drives, and the program then ends
// by the same signal, as the shell expects.
volatile std::sig_atomic_t g_stop_signal = 0;

// Runs in a signal handler or on the console's thread: records the request, and nothing more.
void stop(int signal)
{
    g_stop_signal = signal;
    host::Host::request_close_from_signal();
}

// Ends the program by the signal that stopped it, if any.
void end_by_stop_signal()
{
    if (int signal = g_stop_signal) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

int fail(const std::string& message, int status = 1)
{
    std::fprintf(stderr, "sorrel: %s\n", message.c_str());
    os::show_error_if_unseen(message);
    return status;
}

int run_headless(const app::Options& options)
{
    auto backend = backend::HeadlessBackend::create();
    backend::HeadlessBackend& headless = *backend;
    auto session = app::Session::open(std::move(backend));
    if (session.is_error())
        return fail(session.error().message);
    app::Session& s = *session.value();
    app::export_drive_folders(*lists::current_drives());
    if (auto slow = app::SlowDrives::parse(options.slow_drives); !slow.is_error())
        slow.value().apply(s.window(), [&](double ms) { headless.advance(ms); });
    if (!options.screenshot.empty()) {
        s.host().present_pending();
        if (auto saved = headless.save_screenshot(options.screenshot); saved.is_error())
            return fail(saved.error().message);
        return 0;
    }
    return backend::run_script_file(s.host(), headless, s.form(), options.script, std::cout, std::cerr);
}

int run_window(const app::Options&);

} // namespace

// Nothing below means to throw; an exception that did would end the program unhandled.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv)
{
    // Before anything is made that must be cleaned up.
    os::install_stop_handlers(stop);
    os::attach_parent_console();
    // The window is drawn in the user's colours, as the system's own windows are.
    gdi::load_system_colors();
    std::vector<std::string> arguments = os::program_arguments(argc, argv);
    std::vector<char*> argument_pointers;
    for (std::string& argument : arguments)
        argument_pointers.push_back(argument.data());
    auto parsed = app::Options::parse(int(argument_pointers.size()), argument_pointers.data());
    if (parsed.is_error())
        return fail(parsed.error().message, 2);
    const app::Options& options = parsed.value();
    if (options.help) {
        std::fputs(app::usage_text().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(app::version_text(SORREL_VERSION).c_str(), stdout);
        return 0;
    }

    if (!options.script.empty()) {
        if (auto problem = app::unreadable_file_problem(options.script); !problem.empty())
            return fail("cannot read the script " + options.script + ": " + problem, 2);
    }

    bool unattended = options.command != app::Options::Command::Window;
    if (unattended && !options.drives.empty()) {
        if (auto map = files::DriveMap::from_arguments(options.drives); map.is_error())
            return fail(map.error().message, app::exit_status::Usage);
    }
    std::unique_ptr<app::DemoDrives> demo;
    if (options.demo) {
        auto made = app::DemoDrives::create();
        if (made.is_error())
            return fail(made.error().message);
        demo = made.release_value();
        lists::use_drives(demo->drives());
    } else {
        auto choice = app::choose_drives(
            options.drives, files::DiscoveryInput::from_system(), files::FileSystemProbe::real());
        // Without a window, a drive that cannot serve means that the scan cannot run.
        int cannot_scan = unattended ? app::exit_status::CannotScan : 2;
        if (!choice.error.empty())
            return fail(choice.error, cannot_scan);
        for (const std::string& note : choice.notes)
            std::fprintf(stderr, "sorrel: %s\n", note.c_str());
        if (unattended && choice.drives.is_empty())
            return fail("no drive to scan", cannot_scan);
        lists::use_drives(std::move(choice.drives));
    }

    int status = 0;
    if (g_stop_signal)
        ;
    else if (options.command == app::Options::Command::Detect)
        status = app::run_detect(options, *lists::current_drives(), std::cout, std::cerr);
    else if (options.command == app::Options::Command::RemoveOlder)
        status = app::run_remove_older(options, *lists::current_drives(), std::cout, std::cerr);
    else
        status
            = options.headless || !options.screenshot.empty() ? run_headless(options) : run_window(options);
    demo.reset();
    end_by_stop_signal();
    return status;
}

namespace {

#ifdef _WIN32
int run_window(const app::Options& options)
{
    auto backend = backend::Win32Backend::create(options.scale);
    if (backend.is_error())
        return fail("cannot open the window: " + backend.error().message);
    backend::Win32Backend& window = *backend.value();
    auto session = app::Session::open(backend.release_value());
    if (session.is_error())
        return fail(session.error().message);
    if (!window.window_error().empty())
        return fail("cannot open the window: " + window.window_error());
    return session.value()->host().run();
}
#else
// The display variables that are set, as "DISPLAY=:0"; empty when none is.
std::string display_settings()
{
    // SDL would otherwise fall back to drivers that show nothing anyone can see.
    std::string settings;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        if (const char* value = std::getenv(name); value && *value)
            settings += (settings.empty() ? "" : " ") + std::string(name) + "=" + value;
    }
    return settings;
}

int run_window(const app::Options& options)
{
    std::string settings = display_settings();
    if (settings.empty())
        return fail("no display to open the window on (DISPLAY is not set); run it with --headless --script "
                    "FILE, or --screenshot FILE.png");
    auto backend = backend::SdlBackend::create(options.scale, backend::SdlBackend::Drivers::OnScreen);
    if (backend.is_error())
        return fail("cannot open the window (" + settings + "): " + backend.error().message);
    backend::SdlBackend& window = *backend.value();
    auto session = app::Session::open(backend.release_value());
    if (session.is_error())
        return fail(session.error().message);
    if (!window.window_error().empty())
        return fail("cannot open the window (" + settings + "): " + window.window_error());
    return session.value()->host().run();
}
#endif

} // namespace
