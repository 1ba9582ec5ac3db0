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
#include "platform/lists/Drives.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <signal.h>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/backend/win32/Win32Backend.h"
#include "platform/files/WindowsFiles.h"
#include "platform/gdi/SystemColors.h"
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include "platform/backend/sdl/SdlBackend.h"
#endif

using namespace sorrel;

namespace {

// The signal that asked the program to stop, 0 for none. The handler only records it: the window
// or the script ends at its next look, main removes the demo drives, and the program then ends
// by the same signal, as the shell expects.
volatile std::sig_atomic_t g_stop_signal = 0;

#ifdef _WIN32
// Ctrl+C, Ctrl+Break and closing the console come on a thread of their own; they end the program
// like the signals do on Linux.
BOOL WINAPI stop_on_console_event(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    g_stop_signal = SIGINT;
    host::Host::request_close_from_signal();
    return TRUE;
}

void install_stop_handlers()
{
    SetConsoleCtrlHandler(stop_on_console_event, TRUE);
}

// Started from Explorer or a shortcut, errors have nowhere to go but a message box.
bool g_errors_unseen = false;

// A program of the Windows subsystem starts without a console. Started from one, it writes its
// help, errors and transcripts there; output already sent elsewhere (a pipe, a file) stays there.
void attach_parent_console()
{
    auto is_open = [](DWORD which) {
        HANDLE handle = GetStdHandle(which);
        return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
    };
    bool out = is_open(STD_OUTPUT_HANDLE), err = is_open(STD_ERROR_HANDLE);
    if (out && err)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        g_errors_unseen = !err;
        return;
    }
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
    std::cout.clear();
    std::cerr.clear();
}

// The arguments as UTF-8, read from the UTF-16 command line: the C runtime's argv holds them in
// the ANSI code page, where a folder named in Cyrillic or Chinese on a Western system turns into
// question marks.
std::vector<std::string> program_arguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.push_back(files::windows::to_utf8(wide[i]));
        LocalFree(wide);
        return arguments;
    }
    return {argv, argv + argc};
}
#else
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

void attach_parent_console()
{ }

std::vector<std::string> program_arguments(int argc, char** argv)
{
    return {argv, argv + argc};
}
#endif

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
#ifdef _WIN32
    if (g_errors_unseen)
        MessageBoxW(nullptr, files::windows::to_wide(message).c_str(), L"Sorrel", MB_OK | MB_ICONERROR);
#endif
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
    install_stop_handlers();
    attach_parent_console();
#ifdef _WIN32
    // The window is drawn in the user's colours, as the system's own windows are.
    gdi::load_system_colors();
#endif
    std::vector<std::string> arguments = program_arguments(argc, argv);
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
