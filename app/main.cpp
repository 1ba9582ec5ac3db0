// sorrel: opens the main window on a display (SDL2), or runs it headless for a UI script or a
// screenshot. The drives come from --drive, from --demo, or from looking at the system.

#include "app/DemoDrives.h"
#include "app/Options.h"
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

using namespace sorrel;

namespace {

// The demo's folder, removed also when the program is interrupted.
app::DemoDrives* g_demo = nullptr;

void remove_demo_and_exit(int signal)
{
    if (g_demo)
        g_demo->remove();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
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
        g_demo = demo.get();
        std::signal(SIGINT, remove_demo_and_exit);
        std::signal(SIGTERM, remove_demo_and_exit);
        std::signal(SIGHUP, remove_demo_and_exit);
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

    int status
        = options.headless || !options.screenshot.empty() ? run_headless(options) : run_window(options);
    g_demo = nullptr;
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
