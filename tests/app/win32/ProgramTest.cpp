// sorrel.exe run as a user runs it from a console: its output, its resources, a demo run and a run
// on the system's own drives (under Wine).
#include "platform/files/win32/WindowsFiles.h"
#include "tests/app/PngPixel.h"
#include "tests/platform/files/TempFolder.h"
#include "tests/support/Wine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace fs = std::filesystem;
using namespace sorrel::test_support;
using sorrel::files::windows::to_utf8;
using sorrel::files::windows::to_wide;

namespace {

struct ProgramRun {
    DWORD status {~0u};
    std::string output; // stdout and stderr together
};

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
    std::wstring command = L"\"" + to_wide(SORREL_PROGRAM) + L"\" " + to_wide(arguments);
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

// Runs sorrel.exe with `options` and a script of `text`, written to the temporary folder for the run.
ProgramRun run_script(const std::string& options, const std::string& text)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::string script_path;
    for (wchar_t* c = temp; *c; ++c)
        script_path += char(*c);
    script_path += "sorrel-windows-program-test.script";
    std::ofstream(script_path) << text;
    ProgramRun run = run_program(options + " --headless --script \"" + script_path + "\"");
    std::remove(script_path.c_str());
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

TEST(WindowsProgram, TheHelpDescribesWindows)
{
    ProgramRun help = run_program("--help");
    EXPECT_NE(help.output.find("the drives are the system's own drives"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("%SORREL_DRIVE_C%"), std::string::npos) << help.output;
    for (const char* linux_only : {"Wine", "share/doc", "$SORREL"})
        EXPECT_EQ(help.output.find(linux_only), std::string::npos) << linux_only << "\n" << help.output;
}

TEST(WindowsProgram, AHeadlessScriptRemovesTheOlderMessengerFromTheDemoDrives)
{
    ProgramRun demo = run_script("--demo",
        "click CmdSCan\nwait 1100\nclick CmdRemove\nanswer yes\nanswer no\n"
        "click CmdUnistall\nwait 600\n");
    EXPECT_EQ(demo.status, 0u) << demo.output;
    EXPECT_NE(demo.output.find(
                  "msgbox 20 \"Confirmation!\" \"Are you sure you want to remove MSN Messenger 4.7.3001.0 ?"),
        std::string::npos)
        << demo.output;
    EXPECT_NE(demo.output.find("msgbox 4 \"Complete!\""), std::string::npos) << demo.output;
}

// A Windows user's folders are named in any script, whatever the system's ANSI code page.
TEST(WindowsProgram, FolderNamesOutsideTheCodePageReachTheScanAndTheScript)
{
    sorrel::files::test::TempFolder temp;
    fs::path folder = temp.path() / fs::path(u8"drive-дима-测试");
    fs::create_directories(folder / L"c" / L"Program Files" / L"Messenger");
    fs::copy_file(windows_name_of(SORREL_TEST_DATA "/files/exe64_basic.exe"),
        folder / L"c" / L"Program Files" / L"Messenger" / L"msmsgs.exe");
    fs::path script = folder / L"scan.script";
    std::ofstream(script)
        << "sh if not exist \"%SORREL_DRIVE_C%\\Program Files\\Messenger\\msmsgs.exe\" exit 1\n"
           "click CmdSCan\nwait 1100\ndump\n";
    ProgramRun run = run_program("--drive \"c:=" + to_utf8((folder / L"c").wstring())
        + "\" --headless --script \"" + to_utf8(script.wstring()) + "\"");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_NE(run.output.find(R"("c:\\Program Files\\Messenger" "4.7.3001.0")"), std::string::npos)
        << run.output;
}

namespace {

// A text value of the registry, set for the life of the object and put back after.
class RegistryValue {
public:
    RegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value)
        : m_name(name)
    {
        if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key) != ERROR_SUCCESS)
            return;
        wchar_t old[MAX_PATH] = {};
        DWORD size = sizeof old;
        if (RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size)
            == ERROR_SUCCESS)
            m_old = old;
        m_set = set(value);
    }
    ~RegistryValue()
    {
        if (!m_key)
            return;
        if (m_old)
            set(*m_old);
        else
            RegDeleteValueW(m_key, m_name);
        RegCloseKey(m_key);
    }
    bool is_set() const { return m_set; }

private:
    bool set(const std::wstring& value)
    {
        return RegSetValueExW(m_key, m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1) * DWORD(sizeof(wchar_t)))
            == ERROR_SUCCESS;
    }

    const wchar_t* m_name;
    HKEY m_key {nullptr};
    std::optional<std::wstring> m_old;
    bool m_set {false};
};

} // namespace

// In the user's colours: XP's Luna face here. Wine reads them when a program starts.
TEST(WindowsProgram, TheButtonsOfTheSystemsSchemeTakeTheSystemsColours)
{
    if (!under_wine() || unix_name_of(L"C:\\").value_or("").rfind(SORREL_WINE_PREFIX "/", 0) != 0)
        GTEST_SKIP() << "the test changes the user's colours: only in this build's Wine prefix";
    sorrel::files::test::TempFolder temp;
    std::string classic = to_utf8((temp.path() / L"classic.png").wstring());
    std::string luna = to_utf8((temp.path() / L"luna.png").wstring());
    ProgramRun run = run_script("--demo", "shot " + classic + "\n");
    ASSERT_EQ(run.status, 0u) << run.output;
    {
        RegistryValue face(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"ButtonFace", L"236 233 216");
        ASSERT_TRUE(face.is_set());
        run = run_script("--demo", "shot " + luna + "\n");
        ASSERT_EQ(run.status, 0u) << run.output;
    }
    // Inside "Begin Scan", left of its caption, the face is shaded from the system's button face;
    // beside the button nothing changes.
    ASSERT_TRUE(png_pixel(classic, 36, 176).has_value());
    EXPECT_NE(png_pixel(classic, 36, 176), png_pixel(luna, 36, 176));
    EXPECT_EQ(png_pixel(classic, 12, 176), png_pixel(luna, 12, 176));
}

// A German Windows XP keeps its programs in "C:\Programme"; a folder is listed once however the
// system spells it.
TEST(WindowsProgram, TheSystemsOwnProgramFilesFolderIsScannedOnceAfterTheUsualOnes)
{
    if (!under_wine() || unix_name_of(L"C:\\").value_or("").rfind(SORREL_WINE_PREFIX "/", 0) != 0)
        GTEST_SKIP()
            << "the test changes the system's program-files folder: only in this build's Wine prefix";
    const wchar_t* current_version = L"Software\\Microsoft\\Windows\\CurrentVersion";
    RegistryValue programs(HKEY_LOCAL_MACHINE, current_version, L"ProgramFilesDir", L"C:\\Programme");
    RegistryValue programs_x86(
        HKEY_LOCAL_MACHINE, current_version, L"ProgramFilesDir (x86)", L"C:\\PROGRAM FILES");
    ASSERT_TRUE(programs.is_set() && programs_x86.is_set());
    // The system names only a folder that is there.
    bool made = CreateDirectoryW(L"C:\\Programme", nullptr);
    struct Unmake {
        bool made;
        ~Unmake()
        {
            if (made)
                RemoveDirectoryW(L"C:\\Programme");
        }
    } unmake {made};
    sorrel::files::test::TempFolder temp;
    fs::create_directories(temp.path() / L"c" / L"Programme" / L"Messenger");
    fs::create_directories(temp.path() / L"c" / L"Program Files" / L"MSN Messenger");
    fs::copy_file(windows_name_of(SORREL_TEST_DATA "/files/exe64_basic.exe"),
        temp.path() / L"c" / L"Programme" / L"Messenger" / L"msmsgs.exe");
    fs::copy_file(windows_name_of(SORREL_TEST_DATA "/files/exe32_leading_zero.exe"),
        temp.path() / L"c" / L"Program Files" / L"MSN Messenger" / L"msnmsgr.exe");

    ProgramRun run = run_script(
        "--drive \"c:=" + to_utf8((temp.path() / L"c").wstring()) + "\"", "click CmdSCan\nwait 1100\ndump\n");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_NE(run.output.find(R"(ListView1 ListView visible enabled "Path" "Version"; )"
                              R"("c:\\Program Files\\MSN Messenger" "7.0.816.0"; )"
                              R"("c:\\Programme\\Messenger" "4.7.3001.0")"),
        std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("PROGRAM FILES"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("two different versions"), std::string::npos) << run.output;
}

TEST(WindowsProgram, TheExecutableCarriesItsIconManifestAndVersion)
{
    HMODULE program = LoadLibraryExW(to_wide(SORREL_PROGRAM).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))); // RT_GROUP_ICON
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))); // RT_MANIFEST
    EXPECT_TRUE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16))); // RT_VERSION
    FreeLibrary(program);
}

namespace {

// Every file and folder under `root`: files with their size and time of last change, folders
// with neither (their times change whenever a folder beside them comes or goes).
std::map<std::wstring, std::pair<uintmax_t, int64_t>> contents_of(const fs::path& root)
{
    std::map<std::wstring, std::pair<uintmax_t, int64_t>> contents;
    std::error_code error;
    for (auto it
         = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        if (it->is_directory(ignored))
            contents[it->path().wstring()] = {0, 0};
        else
            contents[it->path().wstring()]
                = {it->file_size(ignored), it->last_write_time(ignored).time_since_epoch().count()};
    }
    return contents;
}

// The prefix's own C: drive holding both Messengers, as on a user's system. Only this build's
// prefix (made by .ci/test-windows) is ever changed: the test refuses any other.
struct WineDriveC : ::testing::Test {
    const fs::path ProgramFiles {L"C:\\Program Files"};
    const fs::path Older {ProgramFiles / L"Messenger"};
    const fs::path Newer {ProgramFiles / L"MSN Messenger"};

    void SetUp() override
    {
        if (!under_wine())
            GTEST_SKIP()
                << "not running under Wine: the test would change the system's own C:\\Program Files";
        std::string prefix = SORREL_WINE_PREFIX "/";
        std::string program_files = unix_name_of(ProgramFiles).value_or("");
        if (program_files.rfind(prefix, 0) != 0)
            GTEST_SKIP() << "C:\\Program Files is \"" << program_files << "\", outside " << prefix
                         << ", the Wine prefix of this build's tests (run the tests with .ci/test-windows)";
        // The program scans every drive, Z: (the whole Unix tree) too, and would remove the older
        // folder wherever it found it last. So no drive may hold either folder before the test
        // makes them on C:, and then the only folder the program can remove is the one made here.
        std::wstring roots(GetLogicalDriveStringsW(0, nullptr), L'\0');
        roots.resize(GetLogicalDriveStringsW(DWORD(roots.size()), roots.data()));
        for (const wchar_t* root = roots.c_str(); *root; root += wcslen(root) + 1) {
            for (const wchar_t* folder : {L"Program Files\\Messenger", L"Program Files\\MSN Messenger",
                     L"Program Files (x86)\\Messenger", L"Program Files (x86)\\MSN Messenger"}) {
                std::wstring path = std::wstring(root) + folder;
                if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                    FAIL() << to_utf8(path)
                           << " exists already; the test runs only where it makes both folders";
            }
        }
        ASSERT_TRUE(fs::is_directory(ProgramFiles));
        m_before = contents_of(ProgramFiles);
        m_made = true;
        std::string data = SORREL_TEST_DATA "/files/";
        fs::create_directories(Older);
        fs::create_directories(Newer);
        fs::copy_file(windows_name_of(data + "exe64_basic.exe"), Older / L"msmsgs.exe");
        fs::copy_file(windows_name_of(data + "dll32_basic.dll"), Older / L"msgsc.dll");
        std::ofstream(Older / L"readme.txt") << "older\n";
        fs::copy_file(windows_name_of(data + "exe32_leading_zero.exe"), Newer / L"msnmsgr.exe");
        std::ofstream(Newer / L"readme.txt") << "newer\n";
        m_newer = contents_of(Newer);
    }

    void TearDown() override
    {
        if (!m_made)
            return;
        std::error_code error;
        fs::remove_all(Older, error);
        fs::remove_all(Newer, error);
    }

    std::map<std::wstring, std::pair<uintmax_t, int64_t>> m_before, m_newer;
    bool m_made {false};
};

} // namespace

TEST_F(WineDriveC, AHeadlessScriptOnTheSystemDrivesRemovesOnlyTheOlderMessenger)
{
    ProgramRun run = run_script("",
        "click CmdSCan\nwait 1100\ndump\nclick CmdRemove\nanswer yes\nanswer no\n"
        "click CmdUnistall\nwait 600\ndump\n");
    EXPECT_EQ(run.status, 0u) << run.output;
    std::string out;
    std::copy_if(
        run.output.begin(), run.output.end(), std::back_inserter(out), [](char c) { return c != '\r'; });

    for (const char* line :
        {R"(Text2 TextBox visible enabled "Scan Successful,\r\n\r\nIt appears that you have two different )"
         R"(versions of MSN Messenger Installed.  You should uninstall the older version if you use the latest.")",
            R"(ListView1 ListView visible enabled "Path" "Version"; "c:\\Program Files\\Messenger" "4.7.3001.0"; )"
            R"("c:\\Program Files\\MSN Messenger" "7.0.816.0")",
            R"(File1 FileListBox visible enabled "c:\\Program Files\\Messenger": "msgsc.dll" "msmsgs.exe" )"
            R"("readme.txt")",
            // The only boxes: the confirmation, answered yes, and the end of a removal that left nothing.
            R"(msgbox 20 "Confirmation!" "Are you sure you want to remove MSN Messenger 4.7.3001.0 ?\r\n\r\n)"
            R"(NOTE: Please make sure the version of MSN Messenger is CLOSED before unistall!")"
            "\n-> yes\n"
            R"(msgbox 4 "Complete!" "Unistall Successfuly Completed!\r\n\r\nDo you want to exit?")"
            "\n-> no\n",
            "ProgressBar2 ProgressBar visible enabled min 0 max 2 value 2\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n--- transcript ---\n" << out;
    size_t boxes = 0;
    for (size_t at = out.find("msgbox "); at != std::string::npos; at = out.find("msgbox ", at + 1))
        ++boxes;
    EXPECT_EQ(boxes, 2u) << out;

    EXPECT_FALSE(fs::exists(Older));
    EXPECT_EQ(contents_of(Newer), m_newer);
    auto after = contents_of(ProgramFiles);
    std::erase_if(after,
        [&](auto const& entry) { return m_newer.contains(entry.first) || entry.first == Newer.wstring(); });
    EXPECT_EQ(after, m_before);
}

// --detect and --remove-older as a deployment tool runs them on Windows: the named mutex that
// keeps a second removal out, and files in use handed to the next start.
TEST(WindowsProgram, ASecondRemovalIsTurnedAwayWhileTheMutexIsHeld)
{
    ProgramRun detect = run_program("--demo --detect --report json");
    EXPECT_EQ(detect.status, 1u) << detect.output;
    EXPECT_NE(detect.output.find("\"verdict\": \"two\""), std::string::npos) << detect.output;

    HANDLE other = CreateMutexW(nullptr, TRUE, L"Global\\Sorrel.RemoveOlder");
    ASSERT_NE(other, nullptr);
    ProgramRun refused = run_program("--demo --remove-older --yes");
    CloseHandle(other);
    EXPECT_EQ(refused.status, 1618u) << refused.output;
    EXPECT_NE(refused.output.find("another Sorrel"), std::string::npos) << refused.output;

    ProgramRun removed = run_program("--demo --remove-older --yes");
    EXPECT_EQ(removed.status, 0u) << removed.output;
}

namespace {

// Drives c: with the older Messenger and d: with MSN Messenger in a folder of the temporary
// folder, removed again when the test ends.
struct TwoMessengerDrives {
    fs::path root;
    fs::path older;
    fs::path newer;

    explicit TwoMessengerDrives(wchar_t const* name)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root = fs::path(temp) / name;
        std::error_code error;
        fs::remove_all(root, error);
        older = root / L"c" / L"Program Files" / L"Messenger";
        newer = root / L"d" / L"Program Files" / L"MSN Messenger";
        fs::create_directories(older);
        fs::create_directories(newer);
        std::string data = SORREL_TEST_DATA "/files/";
        fs::copy_file(windows_name_of(data + "exe64_basic.exe"), older / L"msmsgs.exe");
        fs::copy_file(windows_name_of(data + "exe32_leading_zero.exe"), newer / L"msnmsgr.exe");
    }
    ~TwoMessengerDrives()
    {
        std::error_code error;
        fs::remove_all(root, error);
    }
    TwoMessengerDrives(TwoMessengerDrives const&) = delete;
    TwoMessengerDrives& operator=(TwoMessengerDrives const&) = delete;

    std::string arguments() const
    {
        return "--drive \"c:=" + to_utf8((root / L"c").wstring())
            + "\" --drive \"d:=" + to_utf8((root / L"d").wstring()) + "\"";
    }
};

} // namespace

TEST(WindowsProgram, AFileInUseIsDeletedAtTheNextStartWithAtReboot)
{
    if (!under_wine())
        GTEST_SKIP() << "the test restarts the system";
    TwoMessengerDrives drives(L"sorrel-at-reboot-test");
    fs::path const& older = drives.older;
    fs::path const& newer = drives.newer;
    std::ofstream(older / L"msgsc.dll") << "held";
    // Held as a running program holds its files: without sharing deletion.
    HANDLE held = CreateFileW(
        (older / L"msgsc.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ProgramRun run = run_program(drives.arguments() + " --remove-older --yes --at-reboot --report json");
    CloseHandle(held);
    EXPECT_EQ(run.status, 3010u) << run.output;
    size_t pending_at = run.output.find("\"pending\"");
    EXPECT_LT(run.output.find("\"msgsc.dll\"", pending_at), run.output.find("\"kept\"")) << run.output;
    EXPECT_FALSE(fs::exists(older / L"msmsgs.exe"));

    // The system's list of deletions at the next start names the file.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                  KEY_QUERY_VALUE, &key),
        ERROR_SUCCESS);
    std::wstring pending(32768, L'\0');
    DWORD size = DWORD(pending.size()) * DWORD(sizeof(wchar_t));
    LONG read = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
        reinterpret_cast<BYTE*>(pending.data()), &size);
    RegCloseKey(key);
    ASSERT_EQ(read, ERROR_SUCCESS);
    pending.resize(size / sizeof(wchar_t));
    std::replace(pending.begin(), pending.end(), L'\0', L'|');
    EXPECT_NE(pending.find(L"msgsc.dll"), std::wstring::npos) << to_utf8(pending);

    // Wine's own restart carries the deletions out.
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    std::wstring restart = L"wineboot.exe -r";
    ASSERT_TRUE(CreateProcessW(
        nullptr, restart.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_FALSE(fs::exists(older / L"msgsc.dll"));
    EXPECT_FALSE(fs::exists(older));
    EXPECT_TRUE(fs::exists(newer / L"msnmsgr.exe"));
}

namespace {

// Runs a Windows program of the system and waits for it.
DWORD run_and_wait(std::wstring command)
{
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(
            nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return ~0u;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = ~0u;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return status;
}

std::optional<std::wstring> run_value(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_QUERY_VALUE, &key)
        != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

void make_shortcut(const fs::path& file, const fs::path& target)
{
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(
        CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(target.c_str());
    IPersistFile* persist = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))));
    EXPECT_TRUE(SUCCEEDED(persist->Save(file.c_str(), TRUE)));
    persist->Release();
    link->Release();
}

} // namespace

TEST(WindowsProgram, EntriesIntoTheRemovedFolderGoAndTheRegFilePutsThemBack)
{
    if (!under_wine())
        GTEST_SKIP() << "the test changes the user's Run key and Start menu";
    TwoMessengerDrives drives(L"sorrel-entries-test");
    fs::path const& older = drives.older;
    fs::path const& newer = drives.newer;

    std::wstring older_command = L"\"" + (older / L"msmsgs.exe").wstring() + L"\" /background";
    std::wstring newer_command = L"\"" + (newer / L"msnmsgr.exe").wstring() + L"\" /background";
    auto reg_add = [](const wchar_t* name, const std::wstring& command) {
        std::wstring escaped;
        for (wchar_t c : command)
            escaped += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
        return run_and_wait(L"reg.exe add HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v "
            + std::wstring(name) + L" /d \"" + escaped + L"\" /f");
    };
    ASSERT_EQ(reg_add(L"SorrelTestOlder", older_command), 0u);
    ASSERT_EQ(reg_add(L"SorrelTestNewer", newer_command), 0u);
    ASSERT_EQ(run_value(L"SorrelTestOlder"), older_command);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t programs[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)));
    fs::path menu = fs::path(programs) / L"Sorrel entries test";
    fs::create_directories(menu);
    make_shortcut(menu / L"Older.lnk", older / L"msmsgs.exe");
    make_shortcut(menu / L"Newer.lnk", newer / L"msnmsgr.exe");
    CoUninitialize();

    ProgramRun detect = run_program(drives.arguments() + " --detect");
    EXPECT_EQ(detect.status, 1u) << detect.output;
    EXPECT_NE(detect.output.find("Older.lnk"), std::string::npos) << detect.output;
    EXPECT_NE(detect.output.find("Newer.lnk"), std::string::npos) << detect.output;
    EXPECT_NE(detect.output.find("Run\\SorrelTestOlder"), std::string::npos) << detect.output;

    fs::path log = drives.root / L"removal.log";
    ProgramRun run = run_program(
        drives.arguments() + " --remove-older --yes --entries --log \"" + to_utf8(log.wstring()) + "\"");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_FALSE(fs::exists(older));
    EXPECT_FALSE(run_value(L"SorrelTestOlder"));
    EXPECT_FALSE(fs::exists(menu / L"Older.lnk"));
    // The newer version's entries stay.
    EXPECT_EQ(run_value(L"SorrelTestNewer"), newer_command);
    EXPECT_TRUE(fs::exists(menu / L"Newer.lnk"));

    // The .reg file beside the log puts the removed value back.
    fs::path backup;
    for (auto const& entry : fs::directory_iterator(drives.root)) {
        if (entry.path().extension() == L".reg")
            backup = entry.path();
    }
    ASSERT_FALSE(backup.empty()) << run.output;
    EXPECT_EQ(run_and_wait(L"reg.exe import \"" + backup.wstring() + L"\""), 0u);
    EXPECT_EQ(run_value(L"SorrelTestOlder"), older_command);

    run_and_wait(
        L"reg.exe delete HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v SorrelTestOlder /f");
    run_and_wait(
        L"reg.exe delete HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v SorrelTestNewer /f");
    std::error_code error;
    fs::remove_all(menu, error);
}
