#include "platform/files/DriveDiscovery.h"
#include "platform/files/FileListModel.h"
#include "platform/files/FileSystemObject.h"
#include "platform/files/win32/WindowsFiles.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <vector>

#include <windows.h>

#undef DeleteFile

using namespace sorrel::files;
using sorrel::files::test::TempFolder;
namespace fs = std::filesystem;

namespace {

struct WindowsFolders : ::testing::Test {
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty());
        root = temp.folder("c");
        temp.file("c/App/msmsgs.exe");
        temp.file("c/App/readme.txt");
        ASSERT_FALSE(drives.add('c', root).is_error());
    }

    bool exists(std::string const& relative) const
    {
        return GetFileAttributesW((temp.path() / relative).wstring().c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static void set_attributes(fs::path const& path, DWORD attributes)
    {
        ASSERT_TRUE(SetFileAttributesW(path.wstring().c_str(), attributes));
    }

    TempFolder temp;
    fs::path root;
    DriveMap drives;
    FileSystemObject fso {drives};
};

} // namespace

TEST(WindowsDrives, ListsTheSystemsDrivesInLetterOrderBoundToTheirRoots)
{
    std::wstring roots(L"Z:\\\0C:\\\0A:\\\0Q:\\\0", 16);
    auto map = drives_from_roots(roots, [](std::wstring const& root) -> unsigned {
        return root == L"Q:\\" ? DRIVE_NO_ROOT_DIR : root == L"A:\\" ? DRIVE_REMOVABLE : DRIVE_FIXED;
    });
    EXPECT_EQ(map.drive_names(), (std::vector<std::string> {"a:", "c:", "z:"}));
    ASSERT_NE(map.folder('c'), nullptr);
    EXPECT_EQ(map.folder('c')->wstring(), L"C:\\");

    // The real system: Wine gives every prefix a C: and maps the Unix tree as Z:.
    auto system = drives_for_program({});
    ASSERT_FALSE(system.is_error());
    auto names = system.value().drive_names();
    EXPECT_NE(std::find(names.begin(), names.end(), "c:"), names.end());
    if (std::getenv("WINEPREFIX")) {
        EXPECT_NE(std::find(names.begin(), names.end(), "z:"), names.end());
    }
    EXPECT_EQ(system.value().folder('c')->wstring(), L"C:\\");

    auto explicit_map = drives_for_program({"x:=C:\\Windows"});
    ASSERT_FALSE(explicit_map.is_error());
    EXPECT_EQ(explicit_map.value().drive_names(), (std::vector<std::string> {"x:"}));
}

TEST(WindowsNames, EveryUtf16NameComesBackExactly)
{
    std::wstring names[] = {L"msmsgs.exe", L"caf\u00E9", L"\u0416\u4E2D",
        std::wstring {L'a', wchar_t(0xD83D), wchar_t(0xDE00), L'b'}, std::wstring(L"lone\xD800"),
        std::wstring(L"\xDC00lone")};
    for (auto const& name : names)
        EXPECT_EQ(windows::to_wide(windows::to_utf8(name)), name);
    EXPECT_EQ(windows::to_utf8(L"a\xD83D\xDE00"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(shown_file_name(windows::to_utf8(L"\u0416caf\u00E9")), "?caf\xE9");
    // Bytes that are not UTF-8 become the replacement character, never vanish.
    EXPECT_EQ(windows::to_wide("a\xFF"), L"a\xFFFD");
}

TEST(WindowsNames, FullPathsAreShownAsPeopleWriteThem)
{
    EXPECT_EQ(windows::shown_path(L"\\\\?\\C:\\Program Files"), L"C:\\Program Files");
    EXPECT_EQ(windows::shown_path(L"\\\\?\\UNC\\server\\share\\App"), L"\\\\server\\share\\App");
    EXPECT_EQ(windows::shown_path(L"C:\\App"), L"C:\\App");
    EXPECT_EQ(windows::shown_path(windows::full_path("D:\\", {"Program Files", "Messenger"})),
        L"D:\\Program Files\\Messenger");
}

// Before Vista a folder's path comes from the kernel's name of its handle and the drives' devices.
TEST_F(WindowsFolders, TheKernelsNameOfAFolderLeadsToTheSamePath)
{
    auto folder = windows::open_folder((root / "App").wstring(), "App");
    ASSERT_FALSE(folder.is_error());
    auto expected = windows::final_path(folder.value().get());
    auto from_name = windows::final_path_from_object_name(folder.value().get());
    ASSERT_TRUE(expected && from_name);
    EXPECT_EQ(
        CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, expected->c_str(), -1, from_name->c_str(), -1),
        CSTR_EQUAL)
        << windows::to_utf8(*expected) << " != " << windows::to_utf8(*from_name);
}

TEST(WindowsNames, TheKernelsNameOfAFileLeadsToItsDrive)
{
    std::vector<windows::DriveDevice> devices {
        {L'C', L"\\Device\\HarddiskVolume1"}, {L'D', L"\\Device\\HarddiskVolume10"}};
    EXPECT_EQ(windows::drive_path_of(L"\\Device\\HarddiskVolume1\\Program Files", devices),
        L"\\\\?\\C:\\Program Files");
    EXPECT_EQ(windows::drive_path_of(L"\\Device\\HarddiskVolume10\\App", devices), L"\\\\?\\D:\\App");
    EXPECT_EQ(windows::drive_path_of(L"\\Device\\HarddiskVolume1", devices), L"\\\\?\\C:\\");
    EXPECT_EQ(windows::drive_path_of(L"\\??\\C:\\windows", devices), L"\\\\?\\C:\\windows");
    EXPECT_EQ(windows::drive_path_of(L"\\Device\\HarddiskVolume2\\App", devices), std::nullopt);
}

TEST_F(WindowsFolders, ListsPlainFilesAndDeletesNamesOutsideTheCodePageByTheirTrueName)
{
    temp.folder("c/App/Folder");
    temp.file("c/App/hidden.dat");
    temp.file("c/App/system.dat");
    set_attributes(root / "App/hidden.dat", FILE_ATTRIBUTE_HIDDEN);
    set_attributes(root / "App/system.dat", FILE_ATTRIBUTE_SYSTEM);
    std::wstring zhe = L"\u0416urnal.txt"; // Cyrillic: not in Windows-1252
    std::wstring cafe = L"caf\u00E9.txt"; // in Windows-1252
    std::ofstream(root / "App" / zhe) << "x";
    std::ofstream(root / "App" / cafe) << "x";

    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\app").is_error());
    EXPECT_EQ(
        list.names(), (std::vector<std::string> {"caf\xE9.txt", "msmsgs.exe", "readme.txt", "?urnal.txt"}));

    for (std::size_t i = 0; i < list.list_count(); ++i) {
        if (list.list(i) == "?urnal.txt") {
            EXPECT_FALSE(fso.DeleteFile(list.listed(i), false).is_error());
        }
    }
    EXPECT_FALSE(fs::exists(root / "App" / zhe));
    EXPECT_TRUE(fs::exists(root / "App" / cafe));
    list.refresh();
    EXPECT_EQ(list.list_count(), 3u);
    EXPECT_TRUE(list.set_path("c:\\App\\Nothing").is_error());
    EXPECT_EQ(list.path(), "c:\\app");
}
