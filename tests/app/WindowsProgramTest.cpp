// sorrel.exe run as a user runs it from a console: its output, its resources and a demo run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <windows.h>

namespace {

struct ProgramRun {
    DWORD status {~0u};
    std::string output; // stdout and stderr together
};

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

ProgramRun run_program(const std::string& arguments)
{
    SECURITY_ATTRIBUTES inherit {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    CreatePipe(&read, &write, &inherit, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION process {};
    std::wstring command = L"\"" + wide(SORREL_PROGRAM) + L"\" " + wide(arguments);
    ProgramRun run;
    if (!CreateProcessW(
            nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(read);
        CloseHandle(write);
        return run;
    }
    CloseHandle(write);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
        run.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(read);
    return run;
}

} // namespace

TEST(WindowsProgram, HelpVersionAndBadOptionsAnswerAsOnLinux)
{
    ProgramRun version = run_program("--version");
    EXPECT_EQ(version.status, 0u);
    // Lines end as text lines do on Windows.
    EXPECT_EQ(version.output.rfind("sorrel " SORREL_VERSION "\r\n", 0), 0u) << version.output;

    ProgramRun help = run_program("--help");
    EXPECT_EQ(help.status, 0u);
    EXPECT_EQ(help.output.rfind("Usage: sorrel [OPTION]...", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("--demo"), std::string::npos);

    ProgramRun bad = run_program("--bogus");
    EXPECT_EQ(bad.status, 2u);
    EXPECT_NE(bad.output.find("sorrel: unknown option \"--bogus\""), std::string::npos) << bad.output;
}

TEST(WindowsProgram, AHeadlessScriptRemovesTheOlderMessengerFromTheDemoDrives)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::string script_path;
    for (wchar_t* c = temp; *c; ++c)
        script_path += char(*c);
    script_path += "sorrel-windows-program-test.script";
    std::ofstream(script_path) << "click CmdSCan\nwait 1100\nclick CmdRemove\nanswer yes\nanswer no\n"
                                  "click CmdUnistall\nwait 600\n";
    ProgramRun demo = run_program("--demo --headless --script \"" + script_path + "\"");
    std::remove(script_path.c_str());
    EXPECT_EQ(demo.status, 0u) << demo.output;
    EXPECT_NE(demo.output.find(
                  "msgbox 20 \"Confirmation!\" \"Are you sure you want to remove MSN Messenger 4.7.3001.0 ?"),
        std::string::npos)
        << demo.output;
    EXPECT_NE(demo.output.find("msgbox 4 \"Complete!\""), std::string::npos) << demo.output;
}

TEST(WindowsProgram, TheExecutableCarriesItsIconManifestAndVersion)
{
    HMODULE program = LoadLibraryExW(wide(SORREL_PROGRAM).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))); // RT_GROUP_ICON
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))); // RT_MANIFEST
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16))); // RT_VERSION
    FreeLibrary(program);
}
