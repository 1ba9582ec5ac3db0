#include "platform/files/DriveDiscovery.h"
#include "platform/files/FileListModel.h"
#include "platform/files/FileSystemObject.h"
#include "platform/files/WindowsFiles.h"
#include "tests/platform/files/TempFolder.h"
#include "tests/platform/files/UnixLink.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <windows.h>
#include <winioctl.h>

#undef DeleteFile

using namespace sorrel::files;
using sorrel::files::test::TempFolder;
using sorrel::files::test::UnixLink;
using sorrel::test_support::unix_name_of;
namespace fs = std::filesystem;

namespace {

struct WindowsDeletion : ::testing::Test {
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty());
        root = temp.folder("c");
        temp.file("c/App/msmsgs.exe");
        temp.file("c/App/readme.txt");
        temp.file("c/App/Sub/deep/a.dll");
        temp.file("outside/keep.txt");
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

// Makes `link` a junction to `target` the way the system's own tools do, else a directory
// symbolic link; false when the system makes neither (then it says why in `why`).
bool make_folder_link(fs::path const& link, fs::path const& target, std::string& why)
{
    if (!CreateDirectoryW(link.wstring().c_str(), nullptr))
        return false;
    windows::Handle folder(CreateFileW(link.wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    std::wstring substitute = L"\\??\\" + target.wstring();
    std::wstring print = target.wstring();
    auto sub_bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    auto print_bytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
    WORD data_length = static_cast<WORD>(8 + sub_bytes + 2 + print_bytes + 2);
    std::vector<std::uint8_t> buffer(8 + data_length);
    auto put16 = [&](std::size_t at, WORD value) { std::memcpy(buffer.data() + at, &value, 2); };
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, data_length);
    put16(8, 0);
    put16(10, sub_bytes);
    put16(12, static_cast<WORD>(sub_bytes + 2));
    put16(14, print_bytes);
    std::memcpy(buffer.data() + 16, substitute.data(), sub_bytes);
    std::memcpy(buffer.data() + 16 + sub_bytes + 2, print.data(), print_bytes);
    DWORD returned = 0;
    bool junction = folder.is_open()
        && DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
            static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    DWORD junction_error = GetLastError();
    folder.reset();
    auto is_link = [&] {
        DWORD attributes = GetFileAttributesW(link.wstring().c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    if (junction && is_link())
        return true;
    RemoveDirectoryW(link.wstring().c_str());
    // Symbolic links came with Vista.
    constexpr DWORD directory = 0x1; // SYMBOLIC_LINK_FLAG_DIRECTORY
    constexpr DWORD unprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    using CreateSymbolicLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    auto create_symbolic_link = reinterpret_cast<CreateSymbolicLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    bool symlink = create_symbolic_link
        && create_symbolic_link(link.wstring().c_str(), target.wstring().c_str(), directory | unprivileged);
    DWORD symlink_error = create_symbolic_link ? GetLastError() : DWORD(ERROR_CALL_NOT_IMPLEMENTED);
    if (symlink && is_link())
        return true;
    why = "this system makes no junction (FSCTL_SET_REPARSE_POINT: error " + std::to_string(junction_error)
        + ") and no symbolic link (CreateSymbolicLinkW: error " + std::to_string(symlink_error) + ")";
    return false;
}

// Whether the system opens `path` as a link (a reparse point) when asked for the link itself.
bool opens_as_link(fs::path const& path)
{
    windows::Handle entry(CreateFileW(path.wstring().c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    auto info = entry.is_open() ? windows::examine(entry.get()) : std::nullopt;
    return info && info->is_link();
}

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
TEST_F(WindowsDeletion, TheKernelsNameOfAFolderLeadsToTheSamePath)
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

TEST_F(WindowsDeletion, ListsPlainFilesAndDeletesNamesOutsideTheCodePageByTheirTrueName)
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

TEST_F(WindowsDeletion, ReadOnlyFileStaysWithoutForceAndIsNamed)
{
    set_attributes(root / "App/readme.txt", FILE_ATTRIBUTE_READONLY);
    auto refused = fso.DeleteFile("c:\\App\\readme.txt", false);
    ASSERT_TRUE(refused.is_error());
    EXPECT_EQ(refused.error().code, EACCES);
    EXPECT_TRUE(exists("c/App/readme.txt"));

    auto folder = fso.DeleteFolder("c:\\App", false);
    ASSERT_TRUE(folder.is_error());
    EXPECT_NE(folder.error().message.find("readme.txt"), std::string::npos);
    EXPECT_TRUE(exists("c/App/readme.txt"));
    EXPECT_FALSE(exists("c/App/msmsgs.exe"));
    EXPECT_EQ(fso.remaining_items("c:\\App"), (std::vector<std::string> {"readme.txt"}));

    // The window's file list still holds the folder open: it goes when the list lets go.
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    ASSERT_FALSE(fso.DeleteFolder("c:\\App", true).is_error());
    EXPECT_TRUE(fso.remaining_items("c:\\App").empty());
    ASSERT_FALSE(list.set_path("").is_error());
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(WindowsDeletion, FileHeldOpenWithoutSharingStaysUntilItIsClosed)
{
    auto path = (root / "App/msmsgs.exe").wstring();
    windows::Handle held(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.is_open());
    windows::Handle second(CreateFileW(path.c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (second.is_open())
        GTEST_SKIP() << "this system does not enforce sharing modes: a second open succeeded";

    auto refused = fso.DeleteFile("c:\\App\\msmsgs.exe", false);
    ASSERT_TRUE(refused.is_error());
    EXPECT_EQ(refused.error().code, EBUSY);
    EXPECT_NE(refused.error().message.find("in use"), std::string::npos);
    auto folder = fso.DeleteFolder("c:\\App", false);
    ASSERT_TRUE(folder.is_error());
    EXPECT_EQ(folder.error().code, EBUSY);
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(exists("c/App/readme.txt"));

    held.reset();
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_FALSE(exists("c/App"));
}

// Another program holding a file with delete sharing lets it be deleted, but the name stays until
// that program lets go (where the system has no deletion that takes the name at once).
TEST_F(WindowsDeletion, FilesWhoseDeletionIsPendingCountAsDeleted)
{
    auto open_shared = [&](char const* relative) {
        return windows::Handle(CreateFileW((root / relative).wstring().c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    windows::Handle held = open_shared("App/msmsgs.exe");
    ASSERT_TRUE(held.is_open());
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    ASSERT_EQ(list.names(), (std::vector<std::string> {"msmsgs.exe", "readme.txt"}));
    EXPECT_FALSE(fso.DeleteFile(list.listed(0), false).is_error());
    list.refresh();
    for (std::size_t i = 0; i < list.list_count(); ++i)
        EXPECT_EQ(fso.is_deletion_pending(list.listed(i)), list.list(i) == "msmsgs.exe") << list.list(i);
    ASSERT_FALSE(list.set_path("").is_error());

    // The folder waits a moment, then is named as pending, not as kept.
    auto folder = fso.DeleteFolder("c:\\App", false);
    ASSERT_TRUE(folder.is_error());
    EXPECT_EQ(folder.error().code, EBUSY) << folder.error().message;
    EXPECT_EQ(fso.remaining_items("c:\\App"), (std::vector<std::string> {"c:\\App (deletion pending)"}));

    // Let go while the folder waits: then it goes.
    temp.file("c/App/Sub/deep/b.dll");
    windows::Handle again = open_shared("App/Sub/deep/b.dll");
    std::thread release([&] {
        Sleep(300);
        held.reset();
        again.reset();
    });
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    release.join();
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(WindowsDeletion, JunctionsGoAsLinksAndTheirTargetsStay)
{
    temp.file("outside/Sub/deep/a.dll");
    std::string why;
    if (!make_folder_link(root / "App/to-outside", temp.path() / "outside", why))
        GTEST_SKIP() << why;
    auto on_path = fso.link_on_path("c:\\App\\to-outside\\Sub");
    ASSERT_TRUE(on_path);
    EXPECT_EQ(on_path->path, root / "App/to-outside");
    EXPECT_EQ(fso.DeleteFile("c:\\App\\to-outside\\keep.txt", false).error().code, ELOOP);
    EXPECT_TRUE(fso.DeleteFolder("c:\\App\\to-outside\\Sub", false).is_error());

    ASSERT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_FALSE(exists("c/App"));
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));
}

TEST_F(WindowsDeletion, ListedFilesGoFromTheFolderTheListReadEvenWhenItsPathNowLeadsElsewhere)
{
    temp.file("outside/msmsgs.exe");
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    ASSERT_EQ(list.list(0), "msmsgs.exe");
    ASSERT_TRUE(MoveFileW((root / "App").wstring().c_str(), (temp.path() / "moved").wstring().c_str()));
    std::string why;
    if (!make_folder_link(root / "App", temp.path() / "outside", why)) {
        ASSERT_TRUE(CreateDirectoryW((root / "App").wstring().c_str(), nullptr)) << why;
    }
    temp.file("c/App/msmsgs.exe");

    (void)fso.DeleteFile(list.listed(0), false);
    EXPECT_TRUE(exists("outside/msmsgs.exe"));
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
    auto now = windows::final_path(windows::handle_of(list.listed(0).folder->get()));
    if (exists("moved/msmsgs.exe") && now && now->ends_with(L"\\c\\App"))
        GTEST_SKIP()
            << "this system still names the renamed folder by its old path and deletes nothing through "
               "its handle; nothing outside it went";
    EXPECT_FALSE(exists("moved/msmsgs.exe"));
}

TEST_F(WindowsDeletion, NeverTouchesADrivesRootFolder)
{
    EXPECT_EQ(fso.DeleteFolder("c:\\", true).error().code, EPERM);
    EXPECT_EQ(fso.DeleteFolder("c:\\App\\..", true).error().code, EPERM);
    ASSERT_FALSE(drives.add('d', root / "App/Sub").is_error());
    EXPECT_TRUE(fso.DeleteFolder("c:\\App", true).is_error());
    EXPECT_TRUE(exists("c/App/Sub/deep/a.dll"));
    EXPECT_FALSE(exists("c/App/readme.txt"));
}

// Unix symbolic links inside the folder being deleted: to an outside folder (relative and
// absolute), to outside files, on the folder's top and deeper down. Everything they lead to lies
// in the test's own temporary folder.
struct WindowsUnixLinks : WindowsDeletion {
    void SetUp() override
    {
        WindowsDeletion::SetUp();
        temp.file("outside/Sub/deep/a.dll");
        temp.file("outside/target.dll");
        auto outside = unix_name_of(temp.path() / "outside");
        if (!outside)
            GTEST_SKIP() << "no Unix side to make symbolic links on";
        make("c/App/to-outside", "../../outside");
        make("c/App/Sub/abs-outside", *outside);
        make("c/App/linked.dll", *outside + "/target.dll");
        make("c/App/relative.dll", "../../outside/keep.txt");
    }

    void make(std::string const& link, std::string const& target)
    {
        if (IsSkipped())
            return;
        links.push_back(std::make_unique<UnixLink>(temp.path() / link, target));
        if (!links.back()->made())
            GTEST_SKIP() << links.back()->why();
    }

    void expect_outside_untouched() const
    {
        EXPECT_TRUE(exists("outside/keep.txt"));
        EXPECT_TRUE(exists("outside/target.dll"));
        EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));
    }

    std::vector<std::unique_ptr<UnixLink>> links;
};

TEST_F(WindowsUnixLinks, DeletingTheFolderNeverReachesWhatItsLinksLeadTo)
{
    // A scan leaves out a Messenger folder reached through a link; nothing is deleted through one.
    auto on_path = fso.link_on_path("c:\\App\\to-outside\\Sub");
    ASSERT_TRUE(on_path);
    EXPECT_EQ(on_path->path, root / "App" / "to-outside");
    EXPECT_EQ(on_path->target, temp.path() / "outside");
    // A folder that isn't there is no linked folder, whatever lies on its way.
    EXPECT_FALSE(fso.link_on_path("c:\\App\\to-outside\\Missing"));
    EXPECT_EQ(fso.DeleteFile("c:\\App\\to-outside\\keep.txt", true).error().code, ELOOP);
    EXPECT_EQ(fso.DeleteFolder("c:\\App\\to-outside\\Sub", true).error().code, ELOOP);
    expect_outside_untouched();

    bool as_links = opens_as_link(root / "App/to-outside") && opens_as_link(root / "App/linked.dll");
    auto deleted = fso.DeleteFolder("c:\\App", true);
    expect_outside_untouched();
    EXPECT_FALSE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(exists("c/App/Sub/deep/a.dll"));
    if (as_links) {
        // Where links open as themselves, they go as links.
        EXPECT_FALSE(deleted.is_error()) << deleted.error().message;
        EXPECT_FALSE(exists("c/App"));
        return;
    }
    // Wine opens each link as its target: every link stays, named, and so does the folder.
    ASSERT_TRUE(deleted.is_error());
    EXPECT_EQ(deleted.error().code, ELOOP);
    EXPECT_NE(deleted.error().message.find("4 items"), std::string::npos) << deleted.error().message;
    EXPECT_EQ(fso.remaining_items("c:\\App"),
        (std::vector<std::string> {"linked.dll", "relative.dll", "Sub\\abs-outside", "to-outside"}));
    EXPECT_EQ(fso.DeleteFolder("c:\\App\\to-outside", true).error().code, ELOOP);
    EXPECT_EQ(fso.DeleteFile("c:\\App\\LINKED.dll", true).error().code, ELOOP);
    EXPECT_EQ(fso.remaining_items("c:\\App\\to-outside"), (std::vector<std::string> {"c:\\App\\to-outside"}));
    expect_outside_untouched();
    EXPECT_TRUE(exists("outside"));
}

TEST_F(WindowsUnixLinks, TheWindowsRemovalLeavesWhatItsLinksLeadTo)
{
    // As the window removes: each listed file, then the folder, then what is left is named.
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    for (std::size_t i = 0; i < list.list_count(); ++i)
        (void)fso.DeleteFile(list.listed(i), false);
    list.refresh();
    expect_outside_untouched();
    EXPECT_FALSE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(exists("c/App/readme.txt"));
    if (list.list_count() > 0) {
        // Wine shows a link to a file as a plain file, and it stays.
        EXPECT_EQ(list.names(), (std::vector<std::string> {"linked.dll", "relative.dll"}));
        return;
    }
    ASSERT_FALSE(list.set_path("").is_error());
    (void)fso.DeleteFolder("c:\\App", false);
    EXPECT_TRUE(fso.remaining_items("c:\\App").empty());
    expect_outside_untouched();
}

TEST_F(WindowsUnixLinks, AFolderKeptByALinkThatLeadsNowhereIsNamed)
{
    temp.file("outside/gone.txt");
    temp.folder("c/Other");
    UnixLink dangling(root / "Other/gone.txt", "../../outside/gone.txt");
    ASSERT_TRUE(dangling.made()) << dangling.why();
    ASSERT_TRUE(DeleteFileW((temp.path() / "outside/gone.txt").wstring().c_str()));

    // Wine lists no such link, yet it keeps the folder from going: that is told, never hidden.
    auto deleted = fso.DeleteFolder("c:\\Other", false);
    if (deleted.is_error())
        EXPECT_EQ(fso.remaining_items("c:\\Other"), (std::vector<std::string> {"c:\\Other"}));
    else
        EXPECT_FALSE(exists("c/Other"));
}
