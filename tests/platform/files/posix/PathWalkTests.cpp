#include "platform/files/DriveMap.h"
#include "platform/files/WindowsPath.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

using namespace sorrel::files;
using sorrel::files::test::TempFolder;

TEST(WindowsPath, ResolvesExactThenWithoutCaseAndRefusesToGuess)
{
    TempFolder temp;
    temp.file("c/Program Files/Messenger/msmsgs.exe");
    temp.file("c/Program Files/MSN Messenger/msnmsgr.exe");
    temp.folder("c/Twins/Data");
    temp.folder("c/Twins/DATA");
    DriveMap drives;
    ASSERT_FALSE(drives.add('c', temp.path() / "c").is_error());

    auto exact = resolve(drives, "c:\\Program Files\\Messenger\\msmsgs.exe");
    ASSERT_FALSE(exact.is_error()) << exact.error().message;
    EXPECT_EQ(exact.value(), temp.path() / "c/Program Files/Messenger/msmsgs.exe");

    auto folded = resolve(drives, "C:\\PROGRAM FILES\\messenger\\MSMSGS.EXE");
    ASSERT_FALSE(folded.is_error());
    EXPECT_EQ(folded.value(), exact.value());

    // An exact name wins over its case twins; without one, the twins make the name ambiguous.
    EXPECT_EQ(resolve(drives, "c:\\Twins\\Data").value(), temp.path() / "c/Twins/Data");
    auto ambiguous = resolve(drives, "c:\\twins\\data");
    ASSERT_TRUE(ambiguous.is_error());
    EXPECT_NE(ambiguous.error().message.find("differ only in case"), std::string::npos);

    EXPECT_EQ(resolve(drives, "c:\\").value(), temp.path() / "c");
    EXPECT_TRUE(resolve(drives, "c:\\Program Files\\Nothing").is_error());
    EXPECT_TRUE(resolve(drives, "d:\\Program Files").is_error());
    EXPECT_TRUE(resolve(drives, "c:\\Program Files\\Messenger\\msmsgs.exe\\x").is_error());
}

TEST(WindowsPath, FoldsLettersBeyondAscii)
{
    TempFolder temp;
    temp.folder("c/Programme/Übersicht");
    temp.folder("c/Документы");
    DriveMap drives;
    ASSERT_FALSE(drives.add('c', temp.path() / "c").is_error());
    EXPECT_FALSE(resolve(drives, "c:\\PROGRAMME\\übersicht").is_error());
    EXPECT_FALSE(resolve(drives, "c:\\документы").is_error());
}
