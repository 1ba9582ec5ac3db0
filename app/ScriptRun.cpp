#include "app/ScriptRun.h"

#include "platform/os/Process.h"

namespace sorrel::app {

host::ErrorOr<SlowDrives> SlowDrives::parse(const std::vector<std::string>& arguments)
{
    SlowDrives slow;
    for (const std::string& argument : arguments) {
        auto bad = [&] {
            return host::Error {
                "--slow-drive takes X:=MS (a drive letter and 0 to 60000 milliseconds), not \"" + argument
                + "\""};
        };
        if (argument.size() < 4 || argument[1] != ':' || argument[2] != '=')
            return bad();
        char letter = files::drive_letter(argument[0]);
        std::string digits = argument.substr(3);
        if (!letter || digits.empty() || digits.size() > 5
            || digits.find_first_not_of("0123456789") != std::string::npos)
            return bad();
        double ms = std::stod(digits);
        if (ms > LongestDelayMs)
            return bad();
        slow.m_delay_ms[size_t(letter - 'a')] = ms;
    }
    return slow;
}

double SlowDrives::delay_for(std::string_view path) const
{
    if (path.size() < 2 || path[1] != ':')
        return 0;
    char letter = files::drive_letter(path[0]);
    return letter ? m_delay_ms[size_t(letter - 'a')] : 0;
}

void SlowDrives::apply(FrmSorrel& window, std::function<void(double ms)> pass_time) const
{
    window.drive_used = [slow = *this, pass_time = std::move(pass_time)](std::string_view path) {
        if (double ms = slow.delay_for(path); ms > 0)
            pass_time(ms);
    };
}

void export_drive_folders(const files::DriveMap& drives)
{
    for (const files::DriveBinding& drive : drives.bindings()) {
        std::string name = "SORREL_DRIVE_";
        name += char(drive.letter - 'a' + 'A');
        os::set_environment(name, drive.folder);
    }
}

} // namespace sorrel::app
