#include "platform/backend/headless/ShellCommand.h"

#include <windows.h>

namespace sorrel::backend {

namespace {

std::wstring widen(const std::string& text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

} // namespace

std::string run_shell(const std::string& command, int& status)
{
    SECURITY_ATTRIBUTES inherit {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nothing = CreateFileW(
        L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = errors;
    startup.hStdError = errors;
    // cmd.exe takes the rest of its command line after /c as it stands.
    std::wstring line = L"cmd.exe /d /c " + widen(command);
    PROCESS_INFORMATION process {};
    BOOL started = CreateProcessW(
        nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (nothing != INVALID_HANDLE_VALUE)
        CloseHandle(nothing);
    if (!started)
        return "cannot run cmd.exe";
    CloseHandle(process.hThread);
    DWORD code = 0;
    bool waited = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0
        && GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (!waited)
        return "lost the command";
    status = static_cast<int>(code);
    return {};
}

} // namespace sorrel::backend
