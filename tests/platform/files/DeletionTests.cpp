// The deletion rules, run on every system: the same set-up and the same expectations for the
// deleter of each. Cases one system can't have (mounts, /proc and leases on Linux; sharing
// modes that leave a name behind and Wine's Unix links on Windows) follow in their own sections.

#include "platform/files/FileListModel.h"
#include "platform/files/FileSystemObject.h"
#include "tests/platform/files/OtherPrograms.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "platform/files/win32/WindowsFiles.h"
#include "tests/platform/files/win32/UnixLink.h"

#include <windows.h>
#else
#include "platform/files/posix/OpenCheck.h"

#include <atomic>
#include <cstdio> // renameat2

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#undef DeleteFile // windows.h's name for DeleteFileA

using namespace sorrel::files;
using sorrel::files::test::HeldOpen;
using sorrel::files::test::make_folder_link;
using sorrel::files::test::TempFolder;
namespace fs = std::filesystem;

namespace {

struct DeletionTest : ::testing::Test {
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
        std::error_code error;
        return fs::exists(fs::symlink_status(temp.path() / relative, error));
    }

    TempFolder temp;
    fs::path root;
    DriveMap drives;
    FileSystemObject fso {drives};
};

// No write permission for anyone: the read-only attribute on Windows.
void make_read_only(fs::path const& path)
{
    fs::permissions(path,
        fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec
            | fs::perms::others_read | fs::perms::others_exec);
}

} // namespace

TEST_F(DeletionTest, DeletesFilesAndFoldersNamedWithoutRegardToCase)
{
    ASSERT_FALSE(fso.DeleteFile("c:\\app\\MSMSGS.EXE", false).is_error());
    EXPECT_FALSE(exists("c/App/msmsgs.exe"));

    auto missing = fso.DeleteFile("c:\\App\\msmsgs.exe", false);
    ASSERT_TRUE(missing.is_error());
    EXPECT_EQ(missing.error().code, ENOENT);
    EXPECT_EQ(fso.DeleteFile("c:\\App\\Sub", false).error().code, EISDIR);
    EXPECT_EQ(fso.DeleteFolder("c:\\App\\readme.txt", false).error().code, ENOTDIR);

    ASSERT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_FALSE(exists("c/App"));
    EXPECT_TRUE(exists("c"));
}

TEST_F(DeletionTest, NeverTouchesADrivesRootFolder)
{
    EXPECT_EQ(fso.DeleteFolder("c:\\", false).error().code, EPERM);
    EXPECT_TRUE(fso.DeleteFolder("c:", true).is_error());
    EXPECT_EQ(fso.DeleteFolder("c:\\App\\..", true).error().code, EPERM);
    EXPECT_TRUE(fso.DeleteFile("c:\\", true).is_error());

    // A folder that another drive is bound to stays, and so does the folder holding it.
    ASSERT_FALSE(drives.add('d', root / "App/Sub").is_error());
    EXPECT_TRUE(fso.DeleteFolder("c:\\App", true).is_error());
    EXPECT_TRUE(exists("c/App/Sub/deep/a.dll"));
    EXPECT_FALSE(exists("c/App/readme.txt"));
    EXPECT_TRUE(exists("c"));
}

TEST_F(DeletionTest, FolderLinksGoAsLinksAndTheirTargetsStay)
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
#ifndef _WIN32
    // Links to files need rights on Windows; Wine's Unix links have their own section below.
    fs::create_symlink(temp.path() / "outside/keep.txt", root / "App/file-link");
    ASSERT_FALSE(fso.DeleteFile("c:\\App\\file-link", false).is_error());
    EXPECT_TRUE(exists("outside/keep.txt"));
#endif

    ASSERT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_FALSE(exists("c/App"));
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));
}

TEST_F(DeletionTest, FolderSwappedForALinkBetweenCallsDeletesNothingOutside)
{
    temp.file("outside/msmsgs.exe");
    temp.file("outside/Sub/deep/a.dll");
    fs::rename(root / "App", temp.path() / "moved");
    std::string why;
    if (!make_folder_link(root / "App", temp.path() / "outside", why))
        GTEST_SKIP() << why;

    EXPECT_EQ(fso.DeleteFile("c:\\App\\msmsgs.exe", false).error().code, ELOOP);
    EXPECT_TRUE(fso.DeleteFolder("c:\\App\\Sub", false).is_error());
    EXPECT_TRUE(exists("outside/msmsgs.exe"));
    EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));

    // The folder itself being a link, only the link goes.
    ASSERT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_FALSE(exists("c/App"));
    EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));
}

TEST_F(DeletionTest, ListedFilesGoFromTheFolderTheListReadEvenWhenItsPathNowLeadsElsewhere)
{
    temp.file("outside/msmsgs.exe");
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    ASSERT_EQ(list.list(0), "msmsgs.exe");
    fs::rename(root / "App", temp.path() / "moved");
    std::string why;
    if (!make_folder_link(root / "App", temp.path() / "outside", why))
        fs::create_directory(root / "App");
    temp.file("c/App/msmsgs.exe");

    (void)fso.DeleteFile(list.listed(0), false);
    EXPECT_TRUE(exists("outside/msmsgs.exe"));
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
#ifdef _WIN32
    auto now = windows::final_path(list.listed(0).folder->get());
    if (exists("moved/msmsgs.exe") && now && now->ends_with(L"\\c\\App"))
        GTEST_SKIP()
            << "this system still names the renamed folder by its old path and deletes nothing through "
               "its handle; nothing outside it went";
#endif
    EXPECT_FALSE(exists("moved/msmsgs.exe"));
}

TEST_F(DeletionTest, ReadOnlyItemsStayUnlessForcedAndAreNamed)
{
    // Root ignores permission bits on Linux; the mode alone must keep the file.
    make_read_only(root / "App/readme.txt");
    auto refused = fso.DeleteFile("c:\\App\\readme.txt", false);
    ASSERT_TRUE(refused.is_error());
    EXPECT_EQ(refused.error().code, EACCES);
    EXPECT_NE(refused.error().message.find("read-only"), std::string::npos);
    EXPECT_TRUE(exists("c/App/readme.txt"));

    auto folder = fso.DeleteFolder("c:\\App", false);
    ASSERT_TRUE(folder.is_error());
    EXPECT_NE(folder.error().message.find("readme.txt"), std::string::npos);
    EXPECT_TRUE(exists("c/App/readme.txt"));
    EXPECT_FALSE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(exists("c/App/Sub"));
    EXPECT_EQ(fso.remaining_items("c:\\App"), (std::vector<std::string> {"readme.txt"}));

    // The window's file list still holds the folder open, and the removal tells the pass that
    // this is no other program's: the folder goes when the list lets go.
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    auto pass = FileSystemObject::begin_deletion_pass();
    pass.forget(*list.folder_identity());
    ASSERT_FALSE(fso.DeleteFolder("c:\\App", true, &pass).is_error());
    EXPECT_TRUE(fso.remaining_items("c:\\App").empty());
    ASSERT_FALSE(list.set_path("").is_error());
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(DeletionTest, ReadOnlyFolderStaysWithItsContentsAndForceRemovesIt)
{
    make_read_only(root / "App/Sub/deep");
    if ((fs::status(root / "App/Sub/deep").permissions() & fs::perms::owner_write) != fs::perms::none)
        GTEST_SKIP() << "this system keeps no read-only folders (Wine ignores the attribute on them)";
    EXPECT_TRUE(fso.DeleteFolder("c:\\App", false).is_error());
    EXPECT_TRUE(exists("c/App/Sub/deep/a.dll"));
    ASSERT_FALSE(fso.DeleteFolder("c:\\App", true).is_error());
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(DeletionTest, FileInUseStaysForThePassAndGoesOnRetry)
{
    HeldOpen held(root / "App/msmsgs.exe");
    ASSERT_TRUE(held.is_open());
    if (!held.keeps_others_out())
        GTEST_SKIP() << "this system does not enforce sharing modes: a second open succeeded";
    auto pass = FileSystemObject::begin_deletion_pass();
    auto refused = fso.DeleteFile("c:\\App\\msmsgs.exe", false, &pass);
    ASSERT_TRUE(refused.is_error());
    EXPECT_EQ(refused.error().code, EBUSY);
    EXPECT_NE(refused.error().message.find("in use"), std::string::npos);
    EXPECT_FALSE(fso.DeleteFile("c:\\App\\readme.txt", false, &pass).is_error());
    auto folder = fso.DeleteFolder("c:\\App", false);
    ASSERT_TRUE(folder.is_error());
    EXPECT_EQ(folder.error().code, EBUSY);
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(exists("c/App/Sub"));

    held.close();
    auto retry = FileSystemObject::begin_deletion_pass();
    EXPECT_FALSE(fso.DeleteFile("c:\\App\\msmsgs.exe", false, &retry).is_error());
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false, &retry).is_error());
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(DeletionTest, FileThatVanishedMidPassFailsAloneAndTheRestGoes)
{
    auto pass = FileSystemObject::begin_deletion_pass();
    fs::remove(root / "App/msmsgs.exe"); // gone behind the list's back
    EXPECT_EQ(fso.DeleteFile("c:\\App\\msmsgs.exe", false, &pass).error().code, ENOENT);
    EXPECT_FALSE(fso.DeleteFile("c:\\App\\readme.txt", false, &pass).is_error());
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false, &pass).is_error());
}

namespace {

// The path as every call takes it whatever its length: on Windows in the "\\?\" form, which
// has no 260-character limit.
fs::path long_form(fs::path const& path)
{
#ifdef _WIN32
    return L"\\\\?\\" + fs::path(path).make_preferred().wstring();
#else
    return path;
#endif
}

} // namespace

// One-letter names make a tree of 1,100 levels in a path of about 2,200 characters, which Windows
// holds; deleting it must not stop at a depth of its own, nor exhaust the program's stack.
TEST_F(DeletionTest, DeletesATreeDeeperThanAThousandLevels)
{
#ifdef _WIN32
    // Wine resolves every call through the whole Unix path: this tree takes minutes there.
    if (sorrel::test_support::under_wine() && !std::getenv("SORREL_DEEP_TREE"))
        GTEST_SKIP() << "a tree 1,100 levels deep takes minutes under Wine; SORREL_DEEP_TREE=1 runs it";
#endif
    constexpr int levels = 1100;
    fs::path deep = long_form(root / "App");
    std::string below;
    for (int i = 0; i < levels; ++i) {
        deep /= "a";
        below += "a\\";
        fs::create_directory(deep);
    }
    std::ofstream(deep / "f.txt") << "x";
    ASSERT_TRUE(fs::exists(deep / "f.txt"));

    auto left = fso.remaining_items("c:\\App");
    EXPECT_EQ(
        left, (std::vector<std::string> {below + "f.txt", "msmsgs.exe", "readme.txt", "Sub\\deep\\a.dll"}));
    auto deleted = fso.DeleteFolder("c:\\App", false);
    ASSERT_FALSE(deleted.is_error()) << deleted.error().message;
    EXPECT_FALSE(exists("c/App"));
}

TEST_F(DeletionTest, TheCallerIsAskedBetweenEntriesAndCanStopTheDeletion)
{
    for (int i = 0; i < 20; ++i)
        temp.file("c/App/Sub/many/" + std::to_string(i) + ".txt");
    int asked = 0;
    std::function<bool()> stop_at_ten = [&] { return ++asked == 10; };
    auto stopped = fso.DeleteFolder("c:\\App", false, nullptr, stop_at_ten);
    ASSERT_TRUE(stopped.is_error());
    EXPECT_EQ(stopped.error().code, ECANCELED);
    EXPECT_EQ(asked, 10);
    EXPECT_TRUE(exists("c/App"));
    EXPECT_FALSE(fso.remaining_items("c:\\App").empty());

    // Asked before each entry of a folder being emptied: at least for the 17 not looked at yet.
    std::function<bool()> count = [&] {
        ++asked;
        return false;
    };
    asked = 0;
    ASSERT_FALSE(fso.DeleteFolder("c:\\App", false, nullptr, count).is_error());
    EXPECT_GE(asked, 26 - 9);
    EXPECT_FALSE(exists("c/App"));
}

#ifndef _WIN32

// [SECTION] Linux: mounts, /proc, leases, names Windows can't hold, links swapped in a race

namespace {

bool write_text(char const* path, std::string const& text)
{
    std::ofstream out(path);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// Gives this (single-threaded, forked) process mounts of its own, with a user namespace of its
// own where mounting needs one; false where neither is allowed.
bool enter_private_mount_namespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        auto uid = std::to_string(::geteuid());
        auto gid = std::to_string(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !write_text("/proc/self/setgroups", "deny")
            || !write_text("/proc/self/uid_map", uid + " " + uid + " 1")
            || !write_text("/proc/self/gid_map", gid + " " + gid + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Runs `body` in a forked child with a private mount namespace: its exit status, 77 when the
// namespace or the mounting it needs is not allowed here.
template<typename Body> int in_mount_namespace(Body body)
{
    pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0)
        ::_exit(enter_private_mount_namespace() ? body() : 77);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(DeletionTest, DosReadOnlyAttributeKeepsTheFile)
{
    char const value[] = "0x21";
    if (::setxattr((root / "App/msmsgs.exe").c_str(), "user.DOSATTRIB", value, sizeof(value), 0) != 0)
        GTEST_SKIP() << "this file system keeps no user attributes";
    EXPECT_EQ(fso.DeleteFile("c:\\App\\msmsgs.exe", false).error().code, EACCES);
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
    EXPECT_FALSE(fso.DeleteFile("c:\\App\\msmsgs.exe", true).is_error());
}

TEST_F(DeletionTest, WorkingFolderOfAProcessStaysUntilItLeaves)
{
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(release[1]);
        char byte = 0;
        int status = ::chdir((root / "App/Sub").c_str());
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(status == 0 ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char byte = 0;
    bool child_ready = ::read(ready[0], &byte, 1) == 1;
    auto refused = fso.DeleteFolder("c:\\App", false);
    ::close(release[1]); // lets the child end
    ::close(ready[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(child_ready);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    ASSERT_TRUE(refused.is_error());
    EXPECT_EQ(refused.error().code, EBUSY);
    EXPECT_TRUE(exists("c/App/Sub"));
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false).is_error());
}

TEST(DeletionPass, ReadsMappedFilesFromMapsText)
{
    DeletionPass pass;
    pass.add_maps("55d0c0a00000-55d0c0a02000 r--p 00000000 08:01 1835 /usr/bin/cat\n"
                  "7f00-7f01 rw-p 00000000 00:00 0 [heap]\n"
                  "garbage line\n"
                  "7f02-7f03 r-xp 00001000 fd:1a 99 /opt/with spaces/lib.so");
    EXPECT_EQ(pass.in_use_count(), 2u);
    EXPECT_TRUE(pass.is_in_use({static_cast<std::uint64_t>(makedev(8, 1)), 1835}));
    EXPECT_TRUE(pass.is_in_use({static_cast<std::uint64_t>(makedev(0xfd, 0x1a)), 99}));
}

TEST_F(DeletionTest, NeverCrossesIntoAnotherFileSystem)
{
    auto mount_point = temp.folder("c/App/mnt");
    int status = in_mount_namespace([&] {
        if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=1m") != 0)
            return 77;
        {
            std::ofstream(mount_point / "inside.txt") << "x";
        }
        bool whole_refused = fso.DeleteFolder("c:\\App", false).is_error();
        bool mount_refused = fso.DeleteFolder("c:\\App\\mnt", false).error().code == EXDEV;
        bool kept = fs::exists(mount_point / "inside.txt") && !fs::exists(root / "App/readme.txt");
        ::umount(mount_point.c_str());
        return whole_refused && mount_refused && kept ? 0 : 1;
    });
    if (status == 77)
        GTEST_SKIP() << "cannot mount a file system here";
    EXPECT_EQ(status, 0);
}

TEST_F(DeletionTest, ListedNamesAreDeletedAsTheyAreOnDiskAndNeverAsPaths)
{
    temp.file("victim.txt");
    temp.file("c/victim.txt");
    std::vector<std::string> odd = {"x\\..\\..\\..\\victim.txt", "..\\victim.txt x", "a:b*c?d\"e<f>g|h",
        "line\nbreak", "two; names", "caf\xC3\xA9.txt", std::string(255, 'n')};
    for (auto const& name : odd)
        temp.file("c/App/" + name);
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\App").is_error());
    // msmsgs.exe and readme.txt are listed too; "..\\victim.txt x" is hidden by its leading dot.
    ASSERT_EQ(list.list_count(), odd.size() + 1);
    auto shown = list.names();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "x_.._.._.._victim.txt"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "a_b_c_d_e_f_g_h"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "line_break"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "caf\xE9.txt"), shown.end());

    for (std::size_t i = 0; i < list.list_count(); ++i)
        EXPECT_FALSE(fso.DeleteFile(list.listed(i), false).is_error()) << list.list(i);
    list.refresh();
    EXPECT_EQ(list.list_count(), 0u);
    EXPECT_TRUE(exists("victim.txt"));
    EXPECT_TRUE(exists("c/victim.txt"));
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(exists("c/App/Sub/deep/a.dll"));

    // A made-up entry can't climb either.
    ListedFile climbing = list.listed(0);
    EXPECT_TRUE(fso.DeleteFile(climbing, false).is_error());
}

TEST_F(DeletionTest, NeverWalksIntoABindMountOfTheSameFileSystem)
{
    temp.file("outside/Sub/deep/a.dll");
    auto mount_point = temp.folder("c/App/linked");
    int status = in_mount_namespace([&] {
        if (::mount((temp.path() / "outside").c_str(), mount_point.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return 77;
        auto whole = fso.DeleteFolder("c:\\App", false);
        auto mount = fso.DeleteFolder("c:\\App\\linked", true);
        auto left = fso.remaining_items("c:\\App");
        bool outside_kept = fs::exists(temp.path() / "outside/keep.txt")
            && fs::exists(temp.path() / "outside/Sub/deep/a.dll");
        bool rest_gone = !fs::exists(root / "App/readme.txt") && !fs::exists(root / "App/Sub");
        bool reported = whole.is_error() && whole.error().message.find("linked") != std::string::npos
            && mount.is_error() && mount.error().code == EXDEV;
        // What stays is named as the mount point alone, not by the mounted folder's files.
        bool listed = left == std::vector<std::string> {"linked\\"};
        ::umount(mount_point.c_str());
        return !outside_kept ? 1 : !rest_gone ? 2 : !reported ? 3 : !listed ? 4 : 0;
    });
    if (status == 77)
        GTEST_SKIP() << "cannot bind-mount in a private mount namespace here";
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exists("outside/keep.txt"));
    EXPECT_TRUE(exists("outside/Sub/deep/a.dll"));
}

namespace {

// Every file below `folder`, by its path relative to it, with its text.
std::vector<std::string> snapshot(fs::path const& folder)
{
    std::vector<std::string> files;
    for (auto const& entry : fs::recursive_directory_iterator(folder)) {
        std::string text;
        if (entry.is_regular_file())
            std::getline(std::ifstream(entry.path()), text);
        files.push_back(fs::relative(entry.path(), folder).string() + "=" + text);
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST_F(DeletionTest, SubfolderSwappedForALinkWhileDeletingNeverLeadsOutside)
{
    // The outside folder holds what the swapped folder holds, so that a deletion led there would
    // find every name it expects.
    for (auto folder : {"outside", "outside/deep"})
        temp.file(std::string(folder) + "/a.dll", "keep");
    auto before = snapshot(temp.path() / "outside");
    auto pass = FileSystemObject::begin_deletion_pass();

    // App/Sub trades places with a link to the outside folder parked beside App, over and over, so
    // that the deletion meets either at any step; small folders make many rounds.
    auto park = temp.folder("c/park");
    std::atomic<long> swaps {0};
    int rounds = 0;
    for (; rounds < 2000 && (swaps < 3000 || rounds < 150); ++rounds) {
        fs::remove_all(root / "App");
        fs::remove_all(park / "Sub");
        temp.file("c/App/Sub/a.dll");
        temp.file("c/App/Sub/deep/a.dll");
        fs::create_directory_symlink(temp.path() / "outside", park / "Sub");
        FileHandle app(::open((root / "App").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        FileHandle parked(::open(park.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_TRUE(app.is_open() && parked.is_open());
        std::atomic<bool> stop {false};
        std::atomic<bool> started {false};
        std::thread swapper([&] {
            while (!stop) {
                if (::renameat2(app.get(), "Sub", parked.get(), "Sub", RENAME_EXCHANGE) == 0) {
                    ++swaps;
                    started = true;
                }
            }
        });
        while (!started)
            std::this_thread::yield();
        (void)fso.DeleteFolder("c:\\App", false, &pass);
        stop = true;
        swapper.join();
        ASSERT_EQ(snapshot(temp.path() / "outside"), before) << "in round " << rounds;
    }
    EXPECT_GE(swaps, 3000) << "in " << rounds << " rounds";
}

namespace {

// Lists "c:\\Program Files\\Messenger" of `drive` and removes what the list read, as the removal
// does, while `name` in `folder` trades places over and over with a link of that name in `park`
// that leads to `target` in the `outside` folder. Gives the first round that changed the outside
// folder, or -1.
int round_reaching_outside(FileSystemObject const& fso, DriveMap const& drives, fs::path const& drive,
    fs::path const& folder, std::string const& name, fs::path const& park, fs::path const& target,
    fs::path const& outside)
{
    auto before = snapshot(outside);
    auto pass = FileSystemObject::begin_deletion_pass();
    std::atomic<long> swaps {0};
    for (int round = 0; round < 500 && (swaps < 2000 || round < 40); ++round) {
        fs::remove_all(folder / name);
        fs::remove_all(park / name);
        fs::create_directories(drive / "Program Files/Messenger");
        for (auto file : {"msmsgs.exe", "a.dll", "b.txt"})
            std::ofstream(drive / "Program Files/Messenger" / file) << "x";
        fs::create_directory_symlink(target, park / name);
        FileHandle from(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        FileHandle parked(::open(park.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        std::atomic<bool> stop {false};
        std::atomic<bool> started {false};
        std::thread swapper([&] {
            while (!stop) {
                if (::renameat2(from.get(), name.c_str(), parked.get(), name.c_str(), RENAME_EXCHANGE) == 0) {
                    ++swaps;
                    started = true;
                }
            }
        });
        while (!started)
            std::this_thread::yield();
        FileListModel list(drives);
        if (!list.set_path("c:\\Program Files\\Messenger").is_error()) {
            for (std::size_t i = 0; i < list.list_count(); ++i)
                (void)fso.DeleteFile(list.listed(i), false, &pass);
            list.refresh();
            if (list.list_count() == 0)
                (void)fso.DeleteFolder("c:\\Program Files\\Messenger", false, &pass);
        }
        stop = true;
        swapper.join();
        if (snapshot(outside) != before)
            return round;
    }
    EXPECT_GE(swaps, 2000);
    return -1;
}

} // namespace

// Another program trades a folder on the list's path for a link to a folder elsewhere, thousands
// of times a second, while the list is read and its files removed: nothing elsewhere may go.
TEST_F(DeletionTest, FolderOnTheListsPathSwappedForALinkNeverLeadsOutside)
{
    for (auto file : {"msmsgs.exe", "a.dll", "b.txt"})
        temp.file(std::string("elsewhere/Program Files/Messenger/") + file, "keep");
    auto elsewhere = temp.path() / "elsewhere";
    auto park = temp.folder("park");
    EXPECT_EQ(round_reaching_outside(
                  fso, drives, root, root, "Program Files", park, elsewhere / "Program Files", elsewhere),
        -1);
    // The drive's own folder is reached as it was when the drive was added.
    EXPECT_EQ(round_reaching_outside(fso, drives, root, temp.path(), "c", park, elsewhere, elsewhere), -1);
}

namespace {

// A child process that holds a file open until it goes: another program's open file, seen by the
// kernel whatever /proc shows of it.
class OpenInChild {
public:
    explicit OpenInChild(fs::path const& path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(m_release[1]);
            int fd = ::open(path.c_str(), O_RDONLY);
            char byte = fd >= 0 ? 1 : 0;
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(m_release[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(m_release[0]);
        char byte = 0;
        m_open = ::read(ready[0], &byte, 1) == 1 && byte == 1;
        ::close(ready[0]);
    }
    ~OpenInChild()
    {
        if (m_pid <= 0)
            return;
        ::close(m_release[1]);
        ::waitpid(m_pid, nullptr, 0);
    }
    bool is_open() const { return m_open; }

private:
    pid_t m_pid {-1};
    int m_release[2] {-1, -1};
    bool m_open {false};
};

OpenElsewhere open_elsewhere(fs::path const& path)
{
    FileHandle folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0)
        return OpenElsewhere::Unknown;
    return sorrel::files::open_elsewhere(folder.get(), path.filename().string(), st);
}

} // namespace

TEST_F(DeletionTest, TheKernelTellsOfAFileOpenInAnotherProcess)
{
    auto file = root / "App/msmsgs.exe";
    if (open_elsewhere(file) == OpenElsewhere::Unknown)
        GTEST_SKIP() << "this file system keeps no leases";
    EXPECT_EQ(open_elsewhere(file), OpenElsewhere::No);
    {
        OpenInChild child(file);
        ASSERT_TRUE(child.is_open());
        EXPECT_EQ(open_elsewhere(file), OpenElsewhere::Yes);
        // A pass that saw no process at all, as for files of processes we may not look at.
        DeletionPass blind;
        auto refused = fso.DeleteFile("c:\\App\\msmsgs.exe", false, &blind);
        ASSERT_TRUE(refused.is_error());
        EXPECT_EQ(refused.error().code, EBUSY);
        auto folder = fso.DeleteFolder("c:\\App", false, &blind);
        ASSERT_TRUE(folder.is_error());
        EXPECT_NE(folder.error().message.find("msmsgs.exe\" is in use"), std::string::npos);
        EXPECT_TRUE(exists("c/App/msmsgs.exe"));
        EXPECT_FALSE(exists("c/App/readme.txt"));
    }
    EXPECT_EQ(open_elsewhere(file), OpenElsewhere::No);
    fs::create_symlink(file, root / "App/link");
    EXPECT_EQ(open_elsewhere(root / "App/link"), OpenElsewhere::Unknown);
    DeletionPass blind;
    EXPECT_FALSE(fso.DeleteFolder("c:\\App", false, &blind).is_error());
}

// Another user's file can't be leased, and that user's processes can't be scanned: both fall back
// to what the scan found.
TEST_F(DeletionTest, WithoutTheRightToALeaseTheKernelIsNotAsked)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs another user to own the file";
    auto file = root / "App/msmsgs.exe";
    for (auto const& folder : {temp.path(), root, root / "App"})
        fs::permissions(folder, fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(file, fs::perms::others_read, fs::perm_options::add);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0
                    && ::access(file.c_str(), R_OK) == 0 && open_elsewhere(file) == OpenElsewhere::Unknown
                    && !FileSystemObject::begin_deletion_pass().sees_every_process()
                ? 0
                : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(DeletionTest, OnePassKeepsEachListedFoldersChecksApart)
{
    char const read_only[] = "0x21";
    temp.file("c/App/same.txt");
    temp.file("c/App/odd\\..\\name");
    temp.file("c/Other/same.txt");
    temp.file("outside/target.txt");
    if (::setxattr((root / "App/msmsgs.exe").c_str(), "user.DOSATTRIB", read_only, sizeof(read_only), 0) != 0)
        GTEST_SKIP() << "this file system keeps no user attributes";
    ASSERT_EQ(
        ::setxattr((root / "App/odd\\..\\name").c_str(), "user.DOSATTRIB", read_only, sizeof(read_only), 0),
        0);
    ASSERT_EQ(::setxattr((temp.path() / "outside/target.txt").c_str(), "user.DOSATTRIB", read_only,
                  sizeof(read_only), 0),
        0);
    FileListModel app(drives);
    FileListModel other(drives);
    ASSERT_FALSE(app.set_path("c:\\App").is_error());
    ASSERT_FALSE(other.set_path("c:\\Other").is_error());
    auto entry = [](FileListModel const& list, std::string const& name) {
        for (std::size_t i = 0; i < list.list_count(); ++i) {
            if (list.listed(i).name == name)
                return list.listed(i);
        }
        return ListedFile {};
    };
    // Swapped for a link after the listing: the link goes, not what it leads to.
    fs::remove(root / "App/same.txt");
    fs::create_symlink(temp.path() / "outside/target.txt", root / "App/same.txt");
    int held = ::open((root / "App/readme.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);

    auto pass = FileSystemObject::begin_deletion_pass();
    EXPECT_FALSE(fso.DeleteFile(entry(other, "same.txt"), false, &pass).is_error());
    EXPECT_EQ(fso.DeleteFile(entry(app, "msmsgs.exe"), false, &pass).error().code, EACCES);
    EXPECT_EQ(fso.DeleteFile(entry(app, "odd\\..\\name"), false, &pass).error().code, EACCES);
    EXPECT_EQ(fso.DeleteFile(entry(app, "readme.txt"), false, &pass).error().code, EBUSY);
    EXPECT_FALSE(fso.DeleteFile(entry(app, "same.txt"), false, &pass).is_error());
    EXPECT_FALSE(exists("c/Other/same.txt"));
    EXPECT_FALSE(exists("c/App/same.txt"));
    EXPECT_TRUE(exists("outside/target.txt"));
    EXPECT_TRUE(exists("c/App/msmsgs.exe"));
    EXPECT_TRUE(exists("c/App/odd\\..\\name"));
    EXPECT_TRUE(exists("c/App/readme.txt"));

    // Forced, the same pass still refuses the file in use only.
    EXPECT_FALSE(fso.DeleteFile(entry(app, "odd\\..\\name"), true, &pass).is_error());
    EXPECT_EQ(fso.DeleteFile(entry(app, "readme.txt"), true, &pass).error().code, EBUSY);
    EXPECT_FALSE(exists("c/App/odd\\..\\name"));
    ::close(held);
}

#else

// [SECTION] Windows: names left behind by sharing, Wine's Unix links

using sorrel::files::test::UnixLink;
using sorrel::test_support::unix_name_of;

namespace {

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

// Another program holding a file with delete sharing lets it be deleted, but the name stays until
// that program lets go (where the system has no deletion that takes the name at once).
TEST_F(DeletionTest, FilesWhoseDeletionIsPendingCountAsDeleted)
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

// Unix symbolic links inside the folder being deleted: to an outside folder (relative and
// absolute), to outside files, on the folder's top and deeper down. Everything they lead to lies
// in the test's own temporary folder.
struct DeletionWithUnixLinks : DeletionTest {
    void SetUp() override
    {
        DeletionTest::SetUp();
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

TEST_F(DeletionWithUnixLinks, DeletingTheFolderNeverReachesWhatItsLinksLeadTo)
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

TEST_F(DeletionWithUnixLinks, TheWindowsRemovalLeavesWhatItsLinksLeadTo)
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

TEST_F(DeletionWithUnixLinks, AFolderKeptByALinkThatLeadsNowhereIsNamed)
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

#endif
