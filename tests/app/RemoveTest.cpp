#include "AppFixture.h"

#include "platform/files/FileProtection.h"
#include "platform/host/Timer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {

constexpr const char* Confirmation
    = "Are you sure you want to remove MSN Messenger 4.7.3001.0 ?\r\n\r\nNOTE: Please make "
      "sure the version of MSN Messenger is CLOSED before unistall!";
constexpr const char* Success = "Unistall Successfuly Completed!\r\n\r\nDo you want to exit?";

std::string failure(const std::string& names)
{
    return "The following files were not deleted: \r\n\r\n" + names
        + "\r\n\r\nPlease make sure you do not have MSN open.  Would you like to try again?";
}

// A file kept open the way a running program keeps its files: on Windows that is without
// sharing deletion, which is what keeps it from being deleted there.
class HeldOpen {
public:
    explicit HeldOpen(const fs::path& path)
#ifdef _WIN32
        : m_handle(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        EXPECT_NE(m_handle, INVALID_HANDLE_VALUE) << path;
    }
#else
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        EXPECT_GE(m_fd, 0) << path;
    }
#endif
    ~HeldOpen()
    {
        close();
    }
    void close()
    {
#ifdef _WIN32
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
#else
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
#endif
    }

private:
#ifdef _WIN32
    HANDLE m_handle;
#else
    int m_fd;
#endif
};

struct Remove : AppFixture {
    fs::path older;
    void SetUp() override
    {
        AppFixture::SetUp();
        older_messenger('c');
        newer_messenger('d');
        older = drive('c') / OlderFolder;
    }
    std::vector<std::string> titles() const
    {
        std::vector<std::string> out;
        for (auto& box : headless->boxes())
            out.push_back(box.title);
        return out;
    }
};

} // namespace

TEST_F(Remove, EverythingDeletedThenYesEndsTheProgram)
{
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbYes);
    click_unistall();
    ASSERT_EQ(headless->boxes().size(), 2u);
    EXPECT_EQ(headless->boxes()[0].text, Confirmation);
    EXPECT_EQ(headless->boxes()[0].style, 20);
    EXPECT_EQ(headless->boxes()[0].title, "Confirmation!");
    EXPECT_EQ(headless->boxes()[1].text, Success);
    EXPECT_EQ(headless->boxes()[1].style, 4);
    EXPECT_EQ(headless->boxes()[1].title, "Complete!");
    EXPECT_EQ(w->ProgressBar2.Max(), 2);
    EXPECT_EQ(w->ProgressBar2.Value(), 2);
    EXPECT_TRUE(host().has_ended());
    // Where the system can't remove a name at once (Wine, Windows before 10), the deleted folder
    // goes when the file list lets go of it, as the program ends.
    end_program();
    EXPECT_FALSE(fs::exists(older));
    EXPECT_TRUE(fs::exists(drive('d') / NewerFolder / "msnmsgr.exe"));
    EXPECT_TRUE(fs::exists(drive('c') / "Program Files")) << "only the Messenger folder goes";
}

TEST_F(Remove, EverythingDeletedThenNoReturnsToTheStartPageAndScansAgain)
{
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    EXPECT_FALSE(host().has_ended());
    EXPECT_TRUE(w->Frame2.Visible());
    EXPECT_FALSE(w->Frame3.Visible());
    EXPECT_FALSE(w->Frame1.Visible());
    EXPECT_TRUE(w->CmdSCan.Enabled());
    EXPECT_EQ(w->Text6.Text(), "");
    EXPECT_EQ(w->Text7.Text(), "");
    EXPECT_EQ(w->File1.Path(), "");
    EXPECT_EQ(w->File2.Path(), "");
    // Versions stay as the scan left them.
    EXPECT_EQ(w->Text4.Text(), "4.7.3001.0");

    // A second scan appends; its run takes 99 ticks from the value 1 the first left.
    ASSERT_TRUE(headless->click(w->CmdSCan));
    headless->advance(980);
    EXPECT_TRUE(w->Frame2.Visible());
    headless->advance(10);
    EXPECT_TRUE(w->Frame3.Visible());
    EXPECT_EQ(w->ListView1.ListItems().Count(), 3);
    EXPECT_EQ(w->ListView1.ListItems().Item(3).Text(), "d:\\Program Files\\MSN Messenger");
    EXPECT_EQ(w->Text2.Text(), TwoVersionsVerdict);
}

TEST_F(Remove, NoToTheConfirmationOrChkNewTickedDeletesNothing)
{
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbNo);
    click_unistall();
    EXPECT_EQ(titles(), std::vector<std::string> {"Confirmation!"});
    EXPECT_TRUE(fs::exists(older / "msmsgs.exe"));

    headless->clear_boxes();
    click_box(w->ChkOld);
    ASSERT_EQ(w->ChkNew.Value(), 1);
    w->ProgressBar2.Max(host::Variant(int16_t(50)));
    click_unistall();
    EXPECT_TRUE(headless->boxes().empty());
    EXPECT_EQ(w->ProgressBar2.Max(), 2) << "only the bar's maximum is set";
    EXPECT_EQ(fs::directory_iterator(older) == fs::directory_iterator(), false);
}

TEST_F(Remove, ReadOnlyAndHeldFilesAreNamedRetriedAndNamedAgainAlone)
{
    text_file('c', std::string(OlderFolder) + "/locked.txt");
    fs::permissions(
        older / "locked.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    HeldOpen held(older / "msgsc.dll");
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbYes); // try again: both still stay
    click_unistall();
    ASSERT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Oh No!"}));
    EXPECT_EQ(headless->boxes()[1].text, failure("locked.txt; msgsc.dll; "));
    EXPECT_EQ(headless->boxes()[1].style, 68);
    EXPECT_TRUE(fs::exists(older / "locked.txt"));
    EXPECT_TRUE(fs::exists(older / "msgsc.dll"));
    EXPECT_FALSE(fs::exists(older / "msmsgs.exe"));
    EXPECT_FALSE(fs::exists(older / "readme.txt"));
    EXPECT_TRUE(fs::exists(older)) << "the folder stays while files remain";

    // The program is closed; the second attempt names only the file that is still there.
    held.close();
    headless->clear_boxes();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    ASSERT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Oh No!"}));
    EXPECT_EQ(headless->boxes()[1].text, failure("locked.txt; "));
    EXPECT_EQ(w->Text8.Text(), "locked.txt; ");
    EXPECT_FALSE(fs::exists(older / "msgsc.dll"));
}

// A retry that removes everything finishes the removal instead of ending in silence.
TEST_F(Remove, ARetryThatDeletesEverythingRemovesTheFolderAndReports)
{
    HeldOpen held(older / "msgsc.dll");
    open();
    scan_and_open_remove_page();
    // The user closes the program while the failure message is open.
    host::Timer closer(w->form(), "Closer", 5, false);
    closer.on_tick = [&] { held.close(); };
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbYes, 50);
    headless->queue_answer(host::vbNo);
    closer.Enabled(true);
    ASSERT_TRUE(headless->click(w->CmdUnistall));
    ASSERT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Oh No!", "Complete!"}));
    EXPECT_EQ(headless->boxes()[1].text, failure("msgsc.dll; "));
    EXPECT_FALSE(fs::exists(older));
    EXPECT_TRUE(w->Frame2.Visible());
}

TEST_F(Remove, WithoutAnOlderMessengerNothingIsDeleted)
{
    // Two MSN Messenger folders give the two-versions verdict, but there is no older Messenger.
    fs::remove_all(older);
    newer_messenger('c');
    open();
    scan_and_open_remove_page();
    ASSERT_EQ(w->Text6.Text(), "");
    click_unistall();
    // Only the box that explains: no complaint of the bar about a maximum of -1 first.
    ASSERT_EQ(titles(), (std::vector<std::string> {"Unistall"}));
    EXPECT_EQ(headless->boxes()[0].text, "No older version of MSN Messenger was found to remove.");
    EXPECT_EQ(headless->boxes()[0].style, 64);
    EXPECT_TRUE(fs::exists(drive('c') / NewerFolder / "msnmsgr.exe"));
    EXPECT_TRUE(fs::exists(drive('d') / NewerFolder / "msnmsgr.exe"));
}

TEST_F(Remove, AFileListShowingAnotherFolderIsNeverDeleted)
{
    text_file('c', "Other/keep.txt");
    open();
    scan_and_open_remove_page();
    ASSERT_FALSE(w->File1.Path("c:\\Other").is_error());
    click_unistall();
    ASSERT_EQ(titles(), std::vector<std::string> {"Unistall"});
    EXPECT_TRUE(fs::exists(drive('c') / "Other" / "keep.txt"));
    EXPECT_TRUE(fs::exists(older / "msmsgs.exe"));
}

TEST_F(Remove, ALinkInsideTheFolderGoesButNotWhatItPointsTo)
{
#ifdef _WIN32
    GTEST_SKIP() << "Wine makes no junctions, and keeps and names the Unix links it opens as their targets "
                    "(files_tests covers both)";
#endif
    fs::path outside = text_file('c', "Documents/letter.txt", "keep me");
    fs::create_directory_symlink(drive('c') / "Documents", older / "docs");
    fs::create_symlink(outside, older / "letter.lnk");
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    EXPECT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Complete!"}));
    EXPECT_FALSE(fs::exists(older));
    EXPECT_TRUE(fs::exists(outside));
}

// What stays in the folder after its files went is named, not reported as success.
TEST_F(Remove, LeftoversInSubfoldersAreNamedInsteadOfSuccess)
{
    fs::path kept = text_file('c', std::string(OlderFolder) + "/Sub/kept.txt");
    fs::permissions(kept, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    ASSERT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Oh No!"}));
    EXPECT_EQ(headless->boxes()[1].text, failure("Sub\\kept.txt; "));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_FALSE(fs::exists(older / "msmsgs.exe"));
}

// Stands in for Windows File Protection: guards one file and puts it back, as the system does
// from its cache, whenever it is given the time to.
class PutsFileBack final : public files::FileProtection {
public:
    PutsFileBack(std::string windows_path, fs::path file)
        : m_windows_path(std::move(windows_path))
        , m_file(std::move(file))
    {
        use(this);
    }
    ~PutsFileBack() override { use(nullptr); }
    bool is_protected(std::string_view path) const override { return path == m_windows_path; }
    void wait_for_restoring() const override
    {
        ++restored;
        std::error_code error;
        fs::create_directories(m_file.parent_path(), error);
        std::ofstream(m_file) << "restored";
    }
    mutable int restored {0};

private:
    std::string m_windows_path;
    fs::path m_file;
};

// A removal that the system undoes in part is a failure: what came back is named, with the
// offer to try again.
TEST_F(Remove, AFileTheSystemPutsBackIsNamedInsteadOfSuccess)
{
    PutsFileBack protection("c:\\Program Files\\Messenger\\msgsc.dll", older / "msgsc.dll");
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbYes); // try again: it comes back again
    click_unistall();
    ASSERT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Oh No!"}));
    EXPECT_EQ(headless->boxes()[1].text, failure("msgsc.dll; "));
    EXPECT_EQ(protection.restored, 2);
    end_program();
    EXPECT_TRUE(fs::exists(older / "msgsc.dll"));
    EXPECT_FALSE(fs::exists(older / "msmsgs.exe"));
}

// Tens of thousands of files are made and deleted in memory where the system offers a folder
// there: on a disk, making them alone takes seconds.
struct RemoveManyFiles : Remove {
    fs::path temp_base() const override
    {
#ifdef _WIN32
        return Remove::temp_base();
#else
        std::error_code error;
        return fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK | X_OK) == 0
            ? fs::path("/dev/shm")
            : Remove::temp_base();
#endif
    }
};

// More files than the bar's 16-bit Max can count: the steps grow so that one run covers them all,
// with no complaint from the bar.
TEST_F(RemoveManyFiles, MoreFilesThanTheBarCanCountMakeOneRun)
{
#ifdef _WIN32
    GTEST_SKIP() << "deleting forty thousand files takes minutes under Wine; the bar's steps are the "
                    "same on both builds";
#endif
    constexpr int files = 40000;
    for (int i = 0; i < files - 3; ++i) {
        auto path = older / ("f" + std::to_string(i));
#ifdef _WIN32
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
#else
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
#endif
    }
    open();
    scan_and_open_remove_page();
    ASSERT_EQ(w->File1.ListCount(), files);
    int highest = 0;
    w->drive_used = [&](std::string_view) { highest = std::max(highest, int(w->ProgressBar2.Value())); };
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    EXPECT_EQ(titles(), (std::vector<std::string> {"Confirmation!", "Complete!"}));
    EXPECT_EQ(w->ProgressBar2.Max(), (files - 1) / 2);
    EXPECT_EQ(highest, (files - 2) / 2);
    EXPECT_FALSE(fs::exists(older));
}
