#include "platform/files/DriveMap.h"
#include "platform/lists/DriveListBox.h"
#include "platform/lists/Drives.h"
#include "platform/lists/FileListBox.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace sorrel;
namespace fs = std::filesystem;

namespace {

struct Lists : ::testing::Test {
    files::test::TempFolder temp;
    fs::path root = temp.path();

    void SetUp() override
    {
        ASSERT_FALSE(root.empty());
        fs::create_directories(root / "c" / "Program Files" / "Messenger");
        fs::create_directories(root / "e");
        files::DriveMap map;
        ASSERT_FALSE(map.add('E', root / "e").is_error());
        ASSERT_FALSE(map.add('c', root / "c").is_error());
        lists::use_drives(std::move(map));
    }
    void TearDown() override { lists::use_drives({}); }
    void file(const fs::path& relative) { std::ofstream(root / relative) << "x"; }
};

} // namespace

TEST_F(Lists, DriveListNamesEveryDriveInLetterOrder)
{
    lists::DriveListBox drives;
    ASSERT_EQ(drives.ListCount(), 2);
    EXPECT_EQ(drives.List(0), "c:");
    EXPECT_EQ(drives.List(1), "e:");
    EXPECT_EQ(drives.List(2), "");
    EXPECT_EQ(drives.List(-1), "");
    EXPECT_EQ(drives.Drive(), "c:");
    EXPECT_EQ(drives.dump_text(), "\"c:\" \"e:\"");
}

TEST_F(Lists, AListKeepsTheDrivesItWasMadeWith)
{
    lists::FileListBox list;
    lists::use_drives({});
    lists::DriveListBox later;
    EXPECT_EQ(later.ListCount(), 0);
    // The first list still resolves c: on its own map.
    EXPECT_FALSE(list.Path("c:\\Program Files\\Messenger").is_error());
}

TEST_F(Lists, FileListKeepsItsFolderWhenTheNewOneIsMissing)
{
    file("c/Program Files/Messenger/msmsgs.exe");
    file("c/Program Files/Messenger/B.dll");
    lists::FileListBox list;
    ASSERT_FALSE(list.Path("c:\\Program Files\\Messenger").is_error());
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.List(0), "B.dll");
    EXPECT_EQ(list.List(1), "msmsgs.exe");

    EXPECT_TRUE(list.Path("e:\\Program Files\\Messenger").is_error());
    EXPECT_TRUE(list.Path("q:\\Program Files\\Messenger").is_error());
    EXPECT_EQ(list.Path(), "c:\\Program Files\\Messenger");
    EXPECT_EQ(list.ListCount(), 2);

    // The path reads back as it was given, whatever the case on disk.
    ASSERT_FALSE(list.Path("C:\\program files\\MESSENGER").is_error());
    EXPECT_EQ(list.Path(), "C:\\program files\\MESSENGER");

    ASSERT_FALSE(list.Path("").is_error());
    EXPECT_EQ(list.Path(), "");
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.List(0), "");
}

TEST_F(Lists, RefreshReadsTheFolderAgain)
{
    file("c/Program Files/Messenger/a.txt");
    file("c/Program Files/Messenger/b.txt");
    lists::FileListBox list;
    ASSERT_FALSE(list.Path("c:\\Program Files\\Messenger").is_error());
    fs::remove(root / "c/Program Files/Messenger/a.txt");
    EXPECT_EQ(list.ListCount(), 2) << "the list is not read again by itself";
    list.Refresh();
    ASSERT_EQ(list.ListCount(), 1);
    EXPECT_EQ(list.dump_text(), R"("c:\\Program Files\\Messenger": "b.txt")");
    fs::remove_all(root / "c/Program Files/Messenger");
    list.Refresh();
    EXPECT_EQ(list.ListCount(), 0);
}
