#include "platform/os/Process.h"

#include <cstdint>
#include <cstdlib>
#include <windows.h>

namespace sorrel::os {

unsigned long own_process_id()
{
    return GetCurrentProcessId();
}

std::optional<std::string> process_start(unsigned long id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, DWORD(id));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER ? std::optional<std::string>("") : std::nullopt;
    FILETIME created {}, ended {}, kernel {}, user {};
    DWORD status = 0;
    bool runs = GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
    bool known = GetProcessTimes(process, &created, &ended, &kernel, &user);
    CloseHandle(process);
    if (!runs)
        return "";
    if (!known)
        return std::nullopt;
    return std::to_string((uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

void set_environment(const std::string& name, const std::filesystem::path& folder)
{
    // Wide, so that a folder's name need not fit the system's code page.
    ::_wputenv((std::filesystem::path(name).wstring() + L"=" + folder.wstring()).c_str());
}

} // namespace sorrel::os
