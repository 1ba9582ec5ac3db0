#pragma once

// What the Windows tests ask of Wine itself: whether they run under it, its conversions between
// its drives and Unix paths, and Unix programs run from inside it. Windows only.

#include <filesystem>
#include <optional>
#include <string>

#include <windows.h>

namespace sorrel::test_support {

// The function `name` that Wine adds to `module`; null outside Wine.
template<typename Function> Function wine_function(const wchar_t* module, const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

inline bool under_wine()
{
    return wine_function<void*>(L"ntdll.dll", "wine_get_version") != nullptr;
}

// The Unix path that Wine maps a Windows path to; nothing without Wine.
inline std::optional<std::string> unix_name_of(const std::filesystem::path& windows_path)
{
    using UnixNameOf = char*(CDECL*)(const wchar_t*);
    auto convert = wine_function<UnixNameOf>(L"kernel32.dll", "wine_get_unix_file_name");
    char* name = convert ? convert(windows_path.c_str()) : nullptr;
    if (!name)
        return std::nullopt;
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name); // Wine hands its answers out on the process heap
    return result;
}

// The Windows name of a Unix path, through Wine's own drive mapping; empty without Wine.
inline std::filesystem::path windows_name_of(const std::string& unix_path)
{
    using DosNameOf = wchar_t*(CDECL*)(const char*);
    auto convert = wine_function<DosNameOf>(L"kernel32.dll", "wine_get_dos_file_name");
    wchar_t* name = convert ? convert(unix_path.c_str()) : nullptr;
    if (!name)
        return {};
    std::filesystem::path result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a Unix program, given by its Windows name, and waits up to five seconds for it to end.
// Wine starts such a program itself and may give no handle to wait on, nor its exit status: the
// caller looks for what the program does.
inline bool run_unix(std::wstring command_line)
{
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(
            nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess) {
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
    }
    if (process.hThread)
        CloseHandle(process.hThread);
    return true;
}

} // namespace sorrel::test_support
