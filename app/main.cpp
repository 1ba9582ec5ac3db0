// sorrel: opens the main window on a display (SDL2), or runs it headless for a UI script or a
// screenshot. The drives come from --drive, from --demo, or from looking at the system.

#include "app/DemoDrives.h"
#include "app/Options.h"
#include "app/ScriptRun.h"
#include "app/Session.h"
#include "app/StartChecks.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/backend/headless/ScriptRunner.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/files/DriveDiscovery.h"
#include "platform/lists/Drives.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <signal.h>

using namespace sorrel;

namespace {

// The signal that asked the program to stop, 0 for none. The handler only records it: the window
// or the script ends at its next look, main removes the demo drives, and the program then ends
// by the same signal, as the shell expects.
volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void stop_on_signal(int signal)
{
    g_stop_signal = signal;
    host::Host::request_close_from_signal();
}

void install_stop_handlers()
{
    struct sigaction action { };
    action.sa_handler = stop_on_signal;
    sigemptyset(&action.sa_mask);
    // A second signal ends the program at once; writes under way are not cut short.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(signal, &action, nullptr);
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
    return status;
}

int run_headless(const app::Options& options)
{
    auto backend = backend::HeadlessBackend::create();
    backend::HeadlessBackend& headless = *backend;
    auto session = app::Session::open(std::move(backend));
    if (session.is_error())
        return fail(session.error());
    app::Session& s = *session.value();
    app::export_drive_folders(*lists::current_drives());
    if (auto slow = app::SlowDrives::parse(options.slow_drives); !slow.is_error())
        slow.value().apply(s.window(), [&](double ms) { headless.advance(ms); });
    if (!options.screenshot.empty()) {
        s.host().present_pending();
        if (auto saved = headless.save_screenshot(options.screenshot); saved.is_error())
            return fail(saved.error());
        return 0;
    }
    return backend::run_script_file(s.host(), headless, s.form(), options.script, std::cout, std::cerr);
}

int run_window(const app::Options&);

} // namespace

int main(int argc, char** argv)
{
    // Before anything is made that must be cleaned up.
    install_stop_handlers();
    auto parsed = app::Options::parse(argc, argv);
    if (!parsed.error.empty())
        return fail(parsed.error, 2);
    const app::Options& options = parsed.options;
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
        if (!choice.error.empty())
            return fail(choice.error, 2);
        for (const std::string& note : choice.notes)
            std::fprintf(stderr, "sorrel: %s\n", note.c_str());
        lists::use_drives(std::move(choice.drives));
    }

    int status = 0;
    if (!g_stop_signal)
        status
            = options.headless || !options.screenshot.empty() ? run_headless(options) : run_window(options);
    demo.reset();
    end_by_stop_signal();
    return status;
}

namespace {

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
    std::string why;
    auto backend = backend::SdlBackend::create(options.scale, &why, backend::SdlBackend::Drivers::OnScreen);
    if (!backend)
        return fail("cannot open the window (" + settings + "): " + why);
    backend::SdlBackend& window = *backend;
    auto session = app::Session::open(std::move(backend));
    if (session.is_error())
        return fail(session.error());
    if (!window.window_error().empty())
        return fail("cannot open the window (" + settings + "): " + window.window_error());
    return session.value()->host().run();
}

} // namespace
