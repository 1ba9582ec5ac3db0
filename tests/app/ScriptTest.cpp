// UI scripts (tests/data/app/scripts) run on the window over temporary drives; each transcript
// must equal the .out file beside its script (SORREL_UPDATE_GOLDEN=1 rewrites them).

#include "AppFixture.h"
#include "app/ScriptRun.h"
#include "platform/backend/headless/ScriptRunner.h"

#include <fstream>
#include <sstream>

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {

struct Scripts : AppFixture {
    // Runs `name`.script; its transcript must equal `transcript`.out (`name`.out unless given).
    std::string run(const std::string& name, const std::string& transcript = "")
    {
        std::string folder = std::string(SORREL_TEST_DATA) + "/app/scripts/";
        std::string expected_path = folder + (transcript.empty() ? name : transcript) + ".out";
        std::ostringstream out, err;
        app::export_drive_folders(*lists::current_drives());
        int status = backend::run_script_file(
            host(), *headless, session().form(), folder + name + ".script", out, err);
        EXPECT_EQ(status, 0) << err.str();
        std::ifstream expected_file(expected_path);
        std::stringstream expected;
        expected << expected_file.rdbuf();
        if (std::getenv("SORREL_UPDATE_GOLDEN"))
            std::ofstream(expected_path) << out.str();
        else
            EXPECT_EQ(out.str(), expected.str());
        return out.str();
    }
    // As --slow-drive does.
    void make_slow(const std::string& argument)
    {
        auto slow = app::SlowDrives::parse({argument});
        ASSERT_FALSE(slow.is_error()) << slow.error().message;
        slow.value().apply(*w, [this](double ms) { headless->advance(ms); });
    }
    fs::path older_folder() { return drive('c') / OlderFolder; }
};

} // namespace

TEST_F(Scripts, BothVersionsFoundAndTheOlderRemoved)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    run("both_versions_removed");
    EXPECT_FALSE(fs::exists(older_folder()));
}

TEST_F(Scripts, TheWholeFlowRunsByKeyboardAlone)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    run("keyboard_only");
    EXPECT_FALSE(fs::exists(older_folder()));
    EXPECT_TRUE(fs::exists(drive('d') / NewerFolder / "msnmsgr.exe"));
    // Back on the start page, Space would scan again.
    EXPECT_EQ(host().focused(), &w->CmdSCan);
}

TEST_F(Scripts, AReadOnlyFileIsNamedRetriedAndNamedAgain)
{
    older_messenger('c');
    newer_messenger('d');
    fs::path locked = text_file('c', std::string(OlderFolder) + "/locked.txt");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    open();
    run("files_remain");
    EXPECT_TRUE(fs::exists(locked));
}

TEST_F(Scripts, TickingOnlyMsnMessengerAsksNothingAndDeletesNothing)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    run("chknew_unistall");
    EXPECT_TRUE(headless->boxes().empty());
    for (const char* name : {"msmsgs.exe", "msgsc.dll", "readme.txt"})
        EXPECT_TRUE(fs::exists(older_folder() / name)) << name;
    EXPECT_EQ(w->ChkNew.stored_value(), 1);
}

TEST_F(Scripts, ARetryAfterTheFileIsMadeWritableCompletesTheRemoval)
{
    older_messenger('c');
    newer_messenger('d');
    fs::path locked = text_file('c', std::string(OlderFolder) + "/locked.txt");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    open();
#ifdef _WIN32
    run("retry_after_attrib", "retry_after_chmod");
#else
    run("retry_after_chmod");
#endif
    EXPECT_FALSE(fs::exists(older_folder()));
}

TEST_F(Scripts, AWindowClosedDuringTheRemovalLosesNothingMore)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    make_slow("c:=100");
    run("close_during_removal");
    EXPECT_TRUE(host().has_ended());
    // File1 lists msgsc.dll, msmsgs.exe, readme.txt: two went before the close, the third and
    // the folder stay.
    EXPECT_FALSE(fs::exists(older_folder() / "msgsc.dll"));
    EXPECT_FALSE(fs::exists(older_folder() / "msmsgs.exe"));
    EXPECT_TRUE(fs::exists(older_folder() / "readme.txt"));
}

TEST_F(Scripts, AWindowClosedWhileTheFolderIsEmptiedStopsBetweenTwoEntries)
{
    older_messenger('c');
    for (int i = 0; i < 10; ++i)
        text_file('c', std::string(OlderFolder) + "/Sub/" + std::to_string(i) + ".txt");
    newer_messenger('d');
    open();
    make_slow("c:=100");
    run("close_while_the_folder_goes");
    EXPECT_TRUE(host().has_ended());
    EXPECT_FALSE(fs::exists(older_folder() / "msmsgs.exe"));
    std::size_t left = 0;
    if (fs::exists(older_folder() / "Sub"))
        left = static_cast<std::size_t>(std::distance(fs::directory_iterator(older_folder() / "Sub"), {}));
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, 10u);
}

TEST_F(Scripts, AWindowClosedWhileConfirmationIsOpenDeletesNothing)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    run("close_during_confirmation");
    EXPECT_TRUE(host().has_ended());
    EXPECT_TRUE(fs::exists(older_folder() / "msmsgs.exe"));
}

TEST_F(Scripts, TheVerdictWaitsForASlowScan)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    make_slow("c:=600");
    std::string out = run("slow_scan");
    EXPECT_NE(out.find(host::quoted(TwoVersionsVerdict)), std::string::npos);
}

TEST_F(Scripts, EveryVisibleEnabledControlOfEachPageTakesAClickByItsName)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    host::Frame* pages[] = {&w->Frame2, &w->Frame3, &w->Frame1};
    for (host::Frame* page : pages) {
        for (host::Frame* other : pages)
            other->Visible(other == page);
        std::string script;
        std::vector<std::string> names;
        for (host::Control* c : session().form().controls_in_order()) {
            bool on_page = false;
            for (host::Control* up = c; up; up = up->Container())
                on_page = on_page || up == page;
            if (on_page && c->has_window() && c->is_shown() && c->is_effectively_enabled()) {
                script += "click " + c->DisplayName() + "\n";
                names.push_back(c->DisplayName());
            }
        }
        EXPECT_GE(names.size(), 3u) << ::testing::PrintToString(names);
        std::istringstream in(script);
        std::ostringstream out, err;
        EXPECT_EQ(backend::run_script(host(), *headless, session().form(), in, out, err), 0)
            << err.str() << "\n"
            << script;
    }
}
