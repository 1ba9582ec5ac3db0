#pragma once

// sorrel.exe started with its window, for the Windows tests that drive it from outside, and the
// message boxes it shows. Windows only.

#include "tests/support/Wine.h"

#include <string>

#include <windows.h>

namespace sorrel::test_support {

// sorrel.exe with `arguments`, asked to close at the end of the test and stopped if it will not.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& arguments)
    {
        std::wstring command = L"\"" + windows_name_of(SORREL_PROGRAM).wstring() + L"\" " + arguments;
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                &m_process)) {
            m_start_error = GetLastError();
            m_process = {};
        }
    }
    ~RunningProgram()
    {
        if (!m_process.hProcess)
            return;
        if (HWND shown = window())
            PostMessageW(shown, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_process.hProcess != nullptr; }
    DWORD start_error() const { return m_start_error; }
    bool has_ended() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }
    bool wait_for_end(DWORD ms) const { return WaitForSingleObject(m_process.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD exit_code() const
    {
        DWORD code = 0;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    // The program's visible top-level window captioned "Sorrel", or null.
    HWND window() const
    {
        for (HWND found = FindWindowExW(nullptr, nullptr, nullptr, L"Sorrel"); found;
             found = FindWindowExW(nullptr, found, nullptr, L"Sorrel")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == m_process.dwProcessId && IsWindowVisible(found))
                return found;
        }
        return nullptr;
    }
    // One of the program's message boxes (the system's dialog class) that is showing, or null.
    HWND message_box() const
    {
        BoxSearch search {m_process.dwProcessId};
        EnumWindows(find_box, reinterpret_cast<LPARAM>(&search));
        return search.box;
    }

private:
    struct BoxSearch {
        DWORD process;
        HWND box {nullptr};
    };
    static BOOL CALLBACK find_box(HWND window, LPARAM found)
    {
        auto* search = reinterpret_cast<BoxSearch*>(found);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t type[16] = {};
        GetClassNameW(window, type, 16);
        if (owner != search->process || std::wstring(type) != L"#32770" || !IsWindowVisible(window))
            return TRUE;
        search->box = window;
        return FALSE;
    }

    PROCESS_INFORMATION m_process {};
    DWORD m_start_error {0};
};

} // namespace sorrel::test_support
