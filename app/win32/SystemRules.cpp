#include "app/SystemRules.h"
#include "app/Session.h"
#include "app/Unattended.h"

#include <string_view>

namespace sorrel::app {

// What Windows installers say when another installation is under way.
const int exit_status::AnotherRunning = 1618;

namespace {

// Replaces the one `part` of `text` with `by`.
void reword(std::string& text, std::string_view part, std::string_view by)
{
    if (auto at = text.find(part); at != std::string::npos)
        text.replace(at, part.size(), by);
}

} // namespace

std::string usage_text_for_this_system(std::string linux_text)
{
    // Windows names its drives itself, sh runs cmd.exe, and nothing is installed in share/doc.
    std::string text = std::move(linux_text);
    reword(text, "the drive letters of Wine prefixes\nand mounted Windows partitions",
        "the system's own drives");
    reword(text, "run a shell command and wait for it; $SORREL_DRIVE_C\n                         and so on",
        "run a cmd.exe command and wait for it; %SORREL_DRIVE_C%\n                         and so on");
    reword(text, " (share/doc/sorrel/README.md)", "");
    return text;
}

std::string unsupported_option_problem(Options const&)
{
    return {};
}

// The program is one file: the design is built in.
std::string Session::form_file_path()
{
    return {};
}

} // namespace sorrel::app
