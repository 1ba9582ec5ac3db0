#include "platform/files/FileListModel.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "tests/platform/files/win32/UnixLink.h"
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

using namespace sorrel::files;
using sorrel::files::test::TempFolder;

namespace {

struct FileListTest : ::testing::Test {
    void SetUp() override
    {
        temp.file("c/Program Files/Messenger/msmsgs.exe");
        temp.file("c/Program Files/Messenger/README.txt");
        temp.file("c/Program Files/Messenger/b.dll");
        temp.file("c/Program Files/Messenger/.hidden");
        temp.file("c/Program Files/Messenger/Archive.cab");
        temp.folder("c/Program Files/Messenger/Sub");
#ifdef _WIN32
        // Windows hides a file by its attribute, not by its name.
        ASSERT_TRUE(SetFileAttributesW(
            (temp.path() / "c/Program Files/Messenger/.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
        std::filesystem::create_symlink("msmsgs.exe", temp.path() / "c/Program Files/Messenger/link.exe");
        ::mkfifo((temp.path() / "c/Program Files/Messenger/pipe").c_str(), 0600);
#endif
        ASSERT_FALSE(drives.add('c', temp.path() / "c").is_error());
    }

    TempFolder temp;
    DriveMap drives;
};

} // namespace

TEST_F(FileListTest, StartsEmptyAndListsPlainFilesSortedWithoutCase)
{
    FileListModel list(drives);
    EXPECT_EQ(list.path(), "");
    EXPECT_EQ(list.list_count(), 0u);

    ASSERT_FALSE(list.set_path("c:\\program files\\MESSENGER").is_error());
    EXPECT_EQ(list.path(), "c:\\program files\\MESSENGER");
    EXPECT_EQ(list.names(), (std::vector<std::string> {"Archive.cab", "b.dll", "msmsgs.exe", "README.txt"}));
    EXPECT_EQ(list.list_count(), 4u);
    EXPECT_EQ(list.list(2), "msmsgs.exe");
    EXPECT_EQ(list.list(4), "");
}

// Files read through a link would be another folder's, and the removal would delete them there:
// such a folder shows nothing, and the list names the link.
TEST_F(FileListTest, AFolderReachedThroughALinkListsNothing)
{
    temp.file("elsewhere/Messenger/msmsgs.exe");
    auto elsewhere = temp.path() / "elsewhere";
    auto above = temp.path() / "c/Linked";
    auto itself = temp.path() / "c/Program Files/Linked";
#ifdef _WIN32
    // Wine makes no junctions: these are the links a Linux user makes in a Wine drive.
    auto unix_elsewhere = sorrel::test_support::unix_name_of(elsewhere);
    if (!unix_elsewhere)
        GTEST_SKIP() << "no Unix side to make links on";
    test::UnixLink above_link(above, *unix_elsewhere);
    test::UnixLink itself_link(itself, *unix_elsewhere + "/Messenger");
    ASSERT_TRUE(above_link.made()) << above_link.why();
    ASSERT_TRUE(itself_link.made()) << itself_link.why();
#else
    std::filesystem::create_directory_symlink(elsewhere, above);
    std::filesystem::create_directory_symlink(elsewhere / "Messenger", itself);
#endif
    struct Case {
        std::string path;
        std::filesystem::path link;
        std::filesystem::path target;
    };
    FileListModel list(drives);
    for (auto const& linked : {Case {"c:\\Linked\\Messenger", above, elsewhere},
             Case {"c:\\Program Files\\Linked", itself, elsewhere / "Messenger"}}) {
        ASSERT_FALSE(list.set_path("c:\\Program Files\\Messenger").is_error());
        EXPECT_FALSE(list.link());
        ASSERT_FALSE(list.set_path(linked.path).is_error());
        EXPECT_EQ(list.path(), linked.path);
        EXPECT_EQ(list.list_count(), 0u);
        ASSERT_TRUE(list.link()) << linked.path;
        EXPECT_EQ(list.link()->path, linked.link);
        EXPECT_EQ(list.link()->target, linked.target);
    }
}

TEST_F(FileListTest, BadPathFailsAndKeepsTheFolder)
{
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\Program Files\\Messenger").is_error());
    EXPECT_TRUE(list.set_path("c:\\Program Files\\MSN Messenger").is_error());
    EXPECT_TRUE(list.set_path("d:\\Program Files\\Messenger").is_error());
    EXPECT_TRUE(list.set_path("c:\\Program Files\\Messenger\\msmsgs.exe").is_error());
    EXPECT_TRUE(list.set_path("nonsense").is_error());
    EXPECT_EQ(list.path(), "c:\\Program Files\\Messenger");
    EXPECT_EQ(list.list_count(), 4u);

    // The empty text resets without failing.
    ASSERT_FALSE(list.set_path("").is_error());
    EXPECT_EQ(list.path(), "");
    EXPECT_EQ(list.list_count(), 0u);
}

TEST_F(FileListTest, RefreshRereadsTheFolder)
{
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\Program Files\\Messenger").is_error());
    std::filesystem::remove(temp.path() / "c/Program Files/Messenger/b.dll");
    temp.file("c/Program Files/Messenger/new.txt");
    EXPECT_EQ(list.list_count(), 4u); // not before a refresh
    list.refresh();
    EXPECT_EQ(
        list.names(), (std::vector<std::string> {"Archive.cab", "msmsgs.exe", "new.txt", "README.txt"}));

    std::filesystem::remove_all(temp.path() / "c/Program Files/Messenger");
    list.refresh();
    EXPECT_EQ(list.list_count(), 0u);
    EXPECT_EQ(list.path(), "c:\\Program Files\\Messenger");
}

TEST_F(FileListTest, LeavesOutFilesMarkedHiddenOrSystem)
{
    auto hidden = temp.path() / "c/Program Files/Messenger/b.dll";
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_SYSTEM));
#else
    char const value[] = "0x2";
    if (::setxattr(hidden.c_str(), "user.DOSATTRIB", value, sizeof(value), 0) != 0)
        GTEST_SKIP() << "this file system keeps no user attributes";
#endif
    FileListModel list(drives);
    ASSERT_FALSE(list.set_path("c:\\Program Files\\Messenger").is_error());
    EXPECT_EQ(list.names(), (std::vector<std::string> {"Archive.cab", "msmsgs.exe", "README.txt"}));
}
