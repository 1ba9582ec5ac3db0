#include "app/SystemRules.h"
#include "app/Session.h"
#include "app/Unattended.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace sorrel::app {

// EX_TEMPFAIL: a Linux exit status has 8 bits.
const int exit_status::AnotherRunning = 75;

std::string usage_text_for_this_system(std::string linux_text)
{
    return linux_text;
}

std::string unsupported_option_problem(Options const& options)
{
    if (options.at_reboot)
        return "--at-reboot schedules deletions for the next start of Windows; Linux has no such thing";
    return {};
}

std::string Session::form_file_path()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    fs::path installed = exe.parent_path().parent_path() / "share" / "sorrel" / "FrmSorrel.yaml";
    if (ec || fs::exists(installed, ec))
        return installed.string();
    // A program run from its build folder: the build's root names the source tree. The few levels
    // cover the programs and the tests below it.
    fs::path folder = exe.parent_path();
    for (int level = 0; level < 4 && folder.has_relative_path(); ++level, folder = folder.parent_path()) {
        std::ifstream marker(folder / "sorrel-build-tree");
        std::string source;
        if (marker && std::getline(marker, source) && !source.empty())
            return (fs::path(source) / "app" / "FrmSorrel.yaml").string();
    }
    // Named in the error that follows.
    return installed.string();
}

} // namespace sorrel::app
