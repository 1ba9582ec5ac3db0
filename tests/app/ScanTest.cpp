#include "AppFixture.h"
#ifdef _WIN32
#include "tests/platform/files/win32/UnixLink.h"
#endif

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {
struct Scan : AppFixture { };

std::string items(lists::ListView& view)
{
    std::string text;
    for (int i = 1; i <= view.ListItems().Count(); ++i)
        text += view.ListItems().Item(i).Text() + "|" + view.ListItems().Item(i).SubItems(1) + "\n";
    return text;
}
} // namespace

TEST_F(Scan, BothVersionsOnTwoDrivesGiveTheTwoVersionsVerdict)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    EXPECT_TRUE(w->Frame2.Visible());
    ASSERT_TRUE(headless->click(w->CmdSCan));
    EXPECT_FALSE(w->CmdSCan.Enabled());
    EXPECT_EQ(items(w->ListView1),
        "c:\\Program Files\\Messenger|4.7.3001.0\nd:\\Program Files\\MSN Messenger|7.0.816.0\n");
    EXPECT_EQ(w->Text4.Text(), "4.7.3001.0");
    EXPECT_EQ(w->Text5.Text(), "7.0.816.0");
    EXPECT_EQ(w->Text6.Text(), "c:\\Program Files\\Messenger");
    EXPECT_EQ(w->Text7.Text(), "d:\\Program Files\\MSN Messenger");

    // The run takes 100 ticks of 10 ms; the 100th shows the results page at once.
    headless->advance(990);
    EXPECT_TRUE(w->Frame2.Visible());
    EXPECT_EQ(w->ProgressBar1.Value(), 99);
    headless->advance(10);
    EXPECT_FALSE(w->Frame2.Visible());
    EXPECT_TRUE(w->Frame3.Visible());
    EXPECT_FALSE(w->Frame1.Visible());
    EXPECT_FALSE(w->ProgressBar1.Visible());
    EXPECT_FALSE(w->Timer1.Enabled());
    EXPECT_EQ(w->ProgressBar1.Value(), 1);
    EXPECT_EQ(w->Text2.Text(), TwoVersionsVerdict);
    EXPECT_TRUE(w->CmdRemove.Enabled());
    EXPECT_FALSE(w->CmdExit.Enabled());
    EXPECT_FALSE(w->CmdSCan.Enabled());
    EXPECT_TRUE(headless->boxes().empty());

    ASSERT_TRUE(headless->click(w->CmdRemove));
    EXPECT_FALSE(w->Frame3.Visible());
    EXPECT_FALSE(w->Frame2.Visible());
    EXPECT_TRUE(w->Frame1.Visible());
}

TEST_F(Scan, OneVersionOrNoneLetsTheUserExit)
{
    newer_messenger('c');
    drive('d');
    open();
    scan();
    EXPECT_EQ(items(w->ListView1), "c:\\Program Files\\MSN Messenger|7.0.816.0\n");
    EXPECT_EQ(w->Text2.Text(), OneVersionVerdict);
    EXPECT_FALSE(w->CmdRemove.Enabled());
    EXPECT_TRUE(w->CmdExit.Enabled());
    // The older kind was found nowhere: its fields and file list stay as they were.
    EXPECT_EQ(w->Text4.Text(), "");
    EXPECT_EQ(w->Text6.Text(), "");
    EXPECT_EQ(w->File1.Path(), "");

    ASSERT_TRUE(headless->click(w->CmdExit));
    EXPECT_TRUE(host().has_ended());
}

TEST_F(Scan, NothingFoundAddsNoItemAndChangesNoField)
{
    text_file('c', "Program Files/Other/a.txt");
    open();
    scan();
    EXPECT_EQ(w->ListView1.ListItems().Count(), 0);
    EXPECT_EQ(w->Text2.Text(), OneVersionVerdict);
    EXPECT_TRUE(w->CmdExit.Enabled());
    for (auto* field : {&w->Text4, &w->Text5, &w->Text6, &w->Text7})
        EXPECT_EQ(field->Text(), "");
}

TEST_F(Scan, TheSameFolderOnTwoDrivesCountsTwiceAndTheLaterDriveWins)
{
    older_messenger('c');
    program('e', std::string(OlderFolder) + "/msmsgs.exe", "exe32_max.exe");
    open();
    scan();
    EXPECT_EQ(items(w->ListView1),
        "c:\\Program Files\\Messenger|4.7.3001.0\ne:\\Program Files\\Messenger|65535.65535.65535.65535\n");
    EXPECT_EQ(w->Text4.Text(), "65535.65535.65535.65535");
    EXPECT_EQ(w->Text6.Text(), "e:\\Program Files\\Messenger");
    EXPECT_EQ(w->File1.Path(), "e:\\Program Files\\Messenger");
    EXPECT_EQ(w->Text2.Text(), TwoVersionsVerdict);
}

TEST_F(Scan, AProgramWithoutVersionStillGivesAnItem)
{
    program('c', std::string(OlderFolder) + "/msmsgs.exe", NoVersion);
    // A folder without its program file at all.
    text_file('d', std::string(NewerFolder) + "/readme.txt");
    open();
    scan();
    EXPECT_EQ(items(w->ListView1), "c:\\Program Files\\Messenger|\nd:\\Program Files\\MSN Messenger|\n");
    EXPECT_EQ(w->Text4.Text(), "");
    EXPECT_EQ(w->Text6.Text(), "c:\\Program Files\\Messenger");
    EXPECT_EQ(w->Text5.Text(), "");
    EXPECT_EQ(w->Text7.Text(), "d:\\Program Files\\MSN Messenger");
}

TEST_F(Scan, AFolderNamedInAnotherCaseIsFoundAsTheDriveEntrySpellsIt)
{
    program('c', "program files/messenger/MSMSGS.EXE", OlderProgram);
    open();
    scan();
    EXPECT_EQ(items(w->ListView1), "c:\\Program Files\\Messenger|4.7.3001.0\n");
}

// When the progress run ends before the scan, the verdict waits for the scan and counts every
// item; here the run ends while the first drive is being looked at.
TEST_F(Scan, ASlowScanStillCountsEveryItem)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    bool slowed = false;
    w->Text4.on_change = [&] {
        if (slowed)
            return;
        slowed = true;
        headless->advance(2000);
        EXPECT_TRUE(w->Frame2.Visible()) << "no verdict while the scan runs";
        EXPECT_EQ(w->ProgressBar1.Value(), 100);
        EXPECT_FALSE(w->Timer1.Enabled());
    };
    ASSERT_TRUE(headless->click(w->CmdSCan));
    ASSERT_TRUE(slowed);
    EXPECT_TRUE(w->Frame3.Visible());
    EXPECT_EQ(w->ListView1.ListItems().Count(), 2);
    EXPECT_EQ(w->Text2.Text(), TwoVersionsVerdict);
    EXPECT_TRUE(w->CmdRemove.Enabled());
    EXPECT_EQ(w->ProgressBar1.Value(), 1);
    EXPECT_FALSE(w->ProgressBar1.Visible());
}

TEST_F(Scan, TheRemoveOptionsExcludeEachOtherAlsoWithTheDisabledBox)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    scan();
    ASSERT_TRUE(headless->click(w->CmdRemove));
    EXPECT_EQ(w->ChkOld.Value(), 1);
    EXPECT_EQ(w->ChkNew.Value(), 0);
    EXPECT_FALSE(w->ChkNew.Enabled());

    click_box(w->ChkOld);
    EXPECT_EQ(w->ChkOld.Value(), 0);
    EXPECT_EQ(w->ChkNew.Value(), 1);
    // A click on the disabled box does nothing.
    headless->advance(600);
    headless->click(w->ChkNew.picture_box());
    EXPECT_EQ(w->ChkNew.Value(), 1);
    headless->advance(600);
    click_box(w->ChkOld);
    EXPECT_EQ(w->ChkOld.Value(), 1);
    EXPECT_EQ(w->ChkNew.Value(), 0);

    // ChkNew's own handler, as if it were enabled.
    w->ChkNew.Value(1);
    w->ChkNew_Click();
    EXPECT_EQ(w->ChkOld.Value(), 0);
    EXPECT_EQ(w->ChkNew.Value(), 1);
    w->ChkNew.Value(0);
    w->ChkNew_Click();
    EXPECT_EQ(w->ChkOld.Value(), 1);
    EXPECT_EQ(w->ChkNew.Value(), 0);
}

// A 32-bit installer on a 64-bit system puts both clients under "Program Files (x86)"; those
// folders are looked at after the usual ones and count the same way.
TEST_F(Scan, ThirtyTwoBitFoldersCountAfterTheUsualOnes)
{
    program('c', "Program Files (x86)/Messenger/msmsgs.exe", OlderProgram);
    program('c', "Program Files (x86)/MSN Messenger/msnmsgr.exe", NewerProgram);
    older_messenger('d');
    open();
    scan();
    EXPECT_EQ(items(w->ListView1),
        "d:\\Program Files\\Messenger|4.7.3001.0\n"
        "c:\\Program Files (x86)\\Messenger|4.7.3001.0\n"
        "c:\\Program Files (x86)\\MSN Messenger|7.0.816.0\n");
    EXPECT_EQ(w->Text2.Text(), TwoVersionsVerdict);
    EXPECT_TRUE(w->CmdRemove.Enabled());
    EXPECT_EQ(w->Text5.Text(), "7.0.816.0");
    EXPECT_EQ(w->Text7.Text(), "c:\\Program Files (x86)\\MSN Messenger");
    // The later folder found is the one the removal takes.
    EXPECT_EQ(w->Text6.Text(), "c:\\Program Files (x86)\\Messenger");
    EXPECT_EQ(w->File1.Path(), "c:\\Program Files (x86)\\Messenger");
}

// A Messenger folder reached through a link could be listed but never removed (the removal goes
// through no link), so the scan leaves it out and says why.
TEST_F(Scan, FoldersReachedThroughALinkAreLeftOutWithTheReason)
{
    auto elsewhere = root() / "elsewhere";
    fs::create_directories(elsewhere / "Messenger");
    fs::copy_file(fs::path(SORREL_TEST_DATA) / "files" / OlderProgram, elsewhere / "Messenger/msmsgs.exe");
    fs::path older = drive('c') / "Program Files" / "Messenger";
    fs::create_directories(older.parent_path());
    // On e: the link is further up the path.
    fs::path above = drive('e') / "Program Files";
#ifdef _WIN32
    // Wine makes no junctions: these are the links a Linux user makes in a Wine drive.
    auto unix_elsewhere = test_support::unix_name_of(elsewhere);
    if (!unix_elsewhere)
        GTEST_SKIP() << "no Unix side to make links on, and Wine makes no junctions";
    files::test::UnixLink older_link(older, *unix_elsewhere + "/Messenger");
    files::test::UnixLink above_link(above, *unix_elsewhere);
    ASSERT_TRUE(older_link.made()) << older_link.why();
    ASSERT_TRUE(above_link.made()) << above_link.why();
#else
    fs::create_directory_symlink(elsewhere / "Messenger", older);
    fs::create_directory_symlink(elsewhere, above);
#endif
    newer_messenger('d');
    open();
    ::testing::internal::CaptureStderr();
    scan();
    std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(items(w->ListView1), "d:\\Program Files\\MSN Messenger|7.0.816.0\n");
    EXPECT_EQ(w->Text2.Text(), OneVersionVerdict);
    EXPECT_FALSE(w->CmdRemove.Enabled());
    EXPECT_EQ(w->Text6.Text(), "");
    EXPECT_EQ(w->File1.Path(), "");
    EXPECT_EQ(said,
        "sorrel: c:\\Program Files\\Messenger is left out of the scan: \"" + older.string()
            + "\" is a link to \"" + (elsewhere / "Messenger").string()
            + "\", and Sorrel does not remove linked folders\n"
              "sorrel: e:\\Program Files\\Messenger is left out of the scan: \""
            + above.string() + "\" is a link to \"" + elsewhere.string()
            + "\", and Sorrel does not remove linked folders\n");
    EXPECT_TRUE(fs::exists(elsewhere / "Messenger/msmsgs.exe"));
}

#ifndef _WIN32
// A drive's folder is reached the way it led when the drive was found. One swapped for a link
// since then leads elsewhere: the file list reads nothing there, and the scan says why.
TEST_F(Scan, DriveFolderTurnedIntoALinkIsLeftOutWithTheReason)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    fs::path c = drive('c');
    fs::rename(c, root() / "elsewhere");
    fs::create_directory_symlink(root() / "elsewhere", c);
    ::testing::internal::CaptureStderr();
    scan();
    std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(items(w->ListView1), "d:\\Program Files\\MSN Messenger|7.0.816.0\n");
    EXPECT_EQ(w->File1.ListCount(), 0);
    EXPECT_EQ(w->Text6.Text(), "");
    EXPECT_EQ(said,
        "sorrel: c:\\Program Files\\Messenger is left out of the scan: \""
            + (fs::canonical(root()) / "c").string() + "\" is a link to \"" + (root() / "elsewhere").string()
            + "\", and Sorrel does not remove linked folders\n");
    EXPECT_TRUE(fs::exists(root() / "elsewhere/Program Files/Messenger/msmsgs.exe"));
}
#endif
