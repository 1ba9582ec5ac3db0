#include "platform/os/ProgramStart.h"

#include "platform/files/win32/WindowsFiles.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace sorrel::os {

namespace {

StopHandler g_stop_handler = nullptr;

// Started from Explorer or a shortcut, errors have nowhere to go but a message box.
bool g_errors_unseen = false;

// Ctrl+C, Ctrl+Break and closing the console come on a thread of their own; they end the program
// like the signals do on Linux.
BOOL WINAPI stop_on_console_event(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    g_stop_handler(SIGINT);
    return TRUE;
}

} // namespace

void install_stop_handlers(StopHandler handler)
{
    g_stop_handler = handler;
    SetConsoleCtrlHandler(stop_on_console_event, TRUE);
}

// A program of the Windows subsystem starts without a console.
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

// Read from the UTF-16 command line: the C runtime's argv holds them in the ANSI code page, where
// a folder named in Cyrillic or Chinese on a Western system turns into question marks.
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

void show_error_if_unseen(const std::string& message)
{
    if (g_errors_unseen)
        MessageBoxW(nullptr, files::windows::to_wide(message).c_str(), L"Sorrel", MB_OK | MB_ICONERROR);
}

} // namespace sorrel::os
