#include "app/Options.h"

#include "app/ScriptRun.h"
#include "app/SystemRules.h"
#include "platform/backend/headless/ScriptRunner.h"

#include <cctype>
#include <string_view>

namespace sorrel::app {

namespace {

// The help as Linux gives it; Windows rewords a few parts.
std::string linux_usage_text()
{
    return "Usage: sorrel [OPTION]...\n"
           "Finds the older Messenger and MSN Messenger side by side on the drives, and\n"
           "removes the older one.\n"
           "\n"
           "  --drive X:=DIR       scan the folder DIR as drive X: (repeatable; replaces\n"
           "                         finding the drives)\n"
           "  --demo               scan two temporary drives holding both Messengers\n"
           "                         (removed on exit)\n"
           "  --headless --script FILE\n"
           "                       run a UI script on the window without a display\n"
           "  --slow-drive X:=MS   for tests, with --headless: each use of drive X: takes\n"
           "                         MS milliseconds of the script's time (repeatable)\n"
           "  --screenshot FILE.png  save the opening window as PNG, without a display\n"
           "  --scale N            draw the window N times larger (1 to 4; by default the\n"
           "                         desktop's scale)\n"
           "  --detect             scan without a window and print what was found\n"
           "  --remove-older --yes remove the older version without a window when both\n"
           "                         are installed\n"
           "  --report json|text   the report's form, with --detect or --remove-older\n"
           "  --log FILE           with --remove-older: append each action to FILE\n"
           "  --at-reboot          with --remove-older, on Windows: delete what is in use\n"
           "                         at the next start\n"
           "  --entries            with --remove-older, on Windows: also remove the\n"
           "                         autostart values and shortcuts that point into it\n"
           "  -h, --help           show this help and exit\n"
           "  --version            show the version and licence and exit\n"
           "\n"
           "Without --drive or --demo, the drives are the drive letters of Wine prefixes\n"
           "and mounted Windows partitions.\n"
           "\n"
           "UI script commands, one a line (# starts a comment; NAME is a control's name,\n"
           "or Name(Index)):\n"
        + backend::script_help()
        + "Each box prints as msgbox STYLE \"TITLE\" \"TEXT\", then -> and its answer.\n"
          "Exit status: 0 done, 1 an expect- failed, 2 a bad line, a box without a\n"
          "fitting answer, answers left over, or a failing sh command.\n"
          "\n"
          "--detect and --remove-older end with 0 when there is nothing (more) to\n"
          "remove, 1 when an older version sits beside a newer one (--detect) or\n"
          "something stayed (--remove-older), 2 for a usage error, 3 when the scan could\n"
          "not run, 3010 when the rest is deleted at the next start, and 75 (1618 on\n"
          "Windows) when another Sorrel is removing.\n"
          "\n"
          "Report bugs as Sorrel's README says (share/doc/sorrel/README.md).\n";
}

} // namespace

std::string usage_text()
{
    return usage_text_for_this_system(linux_usage_text());
}

std::string version_text(std::string_view version)
{
    return "sorrel " + std::string(version)
        + "\n"
          "Copyright (C) 2026 the Sorrel developers.\n"
          "License MIT: <https://opensource.org/licenses/MIT>.\n"
          "This is free software: you are free to change and redistribute it.\n"
          "There is NO WARRANTY, to the extent permitted by law.\n";
}

namespace {

bool is_option(std::string_view arg)
{
    return arg.size() > 1 && arg[0] == '-';
}

bool has_png_extension(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string_view extension = name.substr(name.size() - 4);
    for (size_t i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(extension[i])) != ".png"[i])
            return false;
    }
    return true;
}

// What is wrong with the options of --detect and --remove-older, if anything.
std::string unattended_problem(Options const& o, bool report_given)
{
    bool detect = o.command == Options::Command::Detect;
    bool remove = o.command == Options::Command::RemoveOlder;
    if (!remove) {
        for (auto [set, name] : {std::pair {o.yes, "--yes"}, {!o.log.empty(), "--log"},
                 {o.at_reboot, "--at-reboot"}, {o.entries, "--entries"}}) {
            if (set)
                return std::string(name) + " goes with --remove-older";
        }
    }
    if (!detect && !remove)
        return report_given ? "--report goes with --detect or --remove-older" : "";
    if (o.headless || !o.screenshot.empty() || o.scale != 0)
        return "--detect and --remove-older open no window; leave out --headless, --script, --screenshot "
               "and --scale";
    if (remove && !o.yes)
        return "--remove-older deletes files without asking: add --yes to confirm it";
    if (o.entries && o.log.empty())
        return "--entries needs --log FILE: the values it removes are saved beside the log";
    return unsupported_option_problem(o);
}

} // namespace

// One flat branch per option: its length is the number of options, not tangled logic.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
base::ErrorOr<Options> Options::parse(int argc, char** argv)
{
    Options o;
    bool report_given = false;
    auto fail = [](std::string message) { return base::Error {std::move(message)}; };
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        // Options that take a value accept it as the next argument or after "=".
        // The next argument is never taken as the value when it is an option itself.
        auto value = [&](std::string_view name, std::string& out) -> bool {
            if (arg == name) {
                if (i + 1 >= argc || is_option(argv[i + 1]))
                    return false;
                out = argv[++i];
                return true;
            }
            out = std::string(arg.substr(name.size() + 1));
            return true;
        };
        auto is
            = [&](std::string_view name) { return arg == name || arg.starts_with(std::string(name) + "="); };
        std::string v;
        if (is("--drive")) {
            if (!value("--drive", v))
                return fail("--drive needs X:=DIR");
            o.drives.push_back(v);
        } else if (arg == "--demo") {
            o.demo = true;
        } else if (arg == "--headless") {
            o.headless = true;
        } else if (is("--script")) {
            if (!value("--script", v) || v.empty())
                return fail("--script needs a file");
            o.script = v;
        } else if (is("--screenshot")) {
            if (!value("--screenshot", v) || v.empty())
                return fail("--screenshot needs a file name ending in .png");
            o.screenshot = v;
        } else if (is("--scale")) {
            if (!value("--scale", v) || v.size() != 1 || v[0] < '1' || v[0] > '4')
                return fail("--scale needs a whole number from 1 to 4");
            o.scale = v[0] - '0';
        } else if (is("--slow-drive")) {
            if (!value("--slow-drive", v))
                return fail("--slow-drive needs X:=MS");
            o.slow_drives.push_back(v);
        } else if (arg == "--detect" || arg == "--remove-older") {
            auto command = arg == "--detect" ? Command::Detect : Command::RemoveOlder;
            if (o.command != Command::Window && o.command != command)
                return fail("give either --detect or --remove-older");
            o.command = command;
        } else if (arg == "--yes") {
            o.yes = true;
        } else if (is("--report")) {
            if (!value("--report", v) || (v != "json" && v != "text"))
                return fail("--report needs json or text");
            o.report_json = v == "json";
            report_given = true;
        } else if (is("--log")) {
            if (!value("--log", v) || v.empty())
                return fail("--log needs a file");
            o.log = v;
        } else if (arg == "--at-reboot") {
            o.at_reboot = true;
        } else if (arg == "--entries") {
            o.entries = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else {
            return fail("unknown option \"" + std::string(arg) + "\" (see --help)");
        }
    }
    if (o.help || o.version)
        return o;
    if (auto problem = unattended_problem(o, report_given); !problem.empty())
        return fail(problem);
    if (o.demo && !o.drives.empty())
        return fail("--demo makes its own drives; leave out --drive");
    if (!o.script.empty() && !o.headless)
        return fail("--script runs only with --headless");
    if (!o.slow_drives.empty() && o.script.empty())
        return fail("--slow-drive is a test hook for --headless --script runs");
    if (auto slow = SlowDrives::parse(o.slow_drives); slow.is_error())
        return fail(slow.error().message);
    if (o.headless && o.script.empty() && o.screenshot.empty())
        return fail("--headless needs --script FILE or --screenshot FILE.png");
    if (!o.script.empty() && !o.screenshot.empty())
        return fail("give either --script or --screenshot (a script can take shots itself)");
    if (!o.screenshot.empty() && !has_png_extension(o.screenshot))
        return fail("--screenshot needs a file name ending in .png");
    return o;
}

} // namespace sorrel::app
