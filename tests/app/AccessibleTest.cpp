// The window as a screen reader reads it: the tree of each page (tests/data/app/accessible, which
// the system backends' own tests compare with too; SORREL_UPDATE_GOLDEN=1 rewrites them), default
// actions, focus events and what is announced.

#include "AppFixture.h"
#include "platform/backend/headless/ScriptRunner.h"

#include <fstream>
#include <sstream>

using namespace sorrel;
using namespace sorrel::app::testing;
using host::AccessibleEvent;

namespace {

struct Accessible : AppFixture {
    // Runs script lines on the window; the transcript must equal tests/data/app/accessible/`page`.txt.
    void expect_page(const std::string& page, const std::string& lines = "dump accessible\n")
    {
        std::istringstream script(lines);
        std::ostringstream out, err;
        ASSERT_EQ(backend::run_script(host(), *headless, session().form(), script, out, err), 0) << err.str();
        std::string path = std::string(SORREL_TEST_DATA) + "/app/accessible/" + page + ".txt";
        if (std::getenv("SORREL_UPDATE_GOLDEN")) {
            std::ofstream(path, std::ios::binary) << out.str();
            return;
        }
        std::ifstream file(path, std::ios::binary);
        std::stringstream expected;
        expected << file.rdbuf();
        EXPECT_EQ(out.str(), expected.str()) << page;
    }
    std::vector<std::string> announcements_like(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& text : headless->announcements()) {
            if (text.rfind(prefix, 0) == 0)
                found.push_back(text);
        }
        return found;
    }
};

} // namespace

TEST_F(Accessible, EachPageReadsAsItsTreeAndDefaultActionsDriveTheFlow)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    expect_page("start");
    // "Begin Scan" pressed as a screen reader does it reaches the results page, and the reader
    // hears of the page change.
    headless->clear_accessible_events();
    expect_page("results", "action CmdSCan\nwait 1500\ndump accessible\n");
    EXPECT_TRUE(w->Frame3.is_shown());
    auto heard = [&](AccessibleEvent event, const host::Control& control) {
        for (auto& e : headless->accessible_events()) {
            if (e.event == event && e.id == control.hWnd())
                return true;
        }
        return false;
    };
    EXPECT_TRUE(heard(AccessibleEvent::Hide, w->Frame2));
    EXPECT_TRUE(heard(AccessibleEvent::Show, w->Frame3));
    EXPECT_TRUE(heard(AccessibleEvent::TreeChanged, session().form()));
    EXPECT_TRUE(heard(AccessibleEvent::Focus, w->CmdRemove));
    EXPECT_TRUE(heard(AccessibleEvent::Name, w->Text2));
    expect_page("remove", "action CmdRemove\ndump accessible\n");

    // Unticking the older version through its action runs the window's handler, as a click does.
    auto node = host().accessible_node(w->ChkOld.hWnd());
    ASSERT_TRUE(node);
    EXPECT_EQ(node->default_action, "Uncheck");
    ASSERT_TRUE(host().request_accessible_action(w->ChkOld.hWnd()));
    EXPECT_EQ(w->ChkOld.stored_value(), 1) << "the action waits for the host's loop";
    host().DoEvents();
    EXPECT_EQ(w->ChkOld.stored_value(), 0);
    EXPECT_EQ(w->ChkNew.stored_value(), 1);
    EXPECT_EQ(host().focused(), &w->ChkOld);
    EXPECT_EQ(host().accessible_node(w->ChkOld.hWnd())->default_action, "Check");
}

TEST_F(Accessible, ActionsAreRefusedOrDroppedWhenTheControlCannotTakeThem)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    // Hidden, unknown, without an action.
    EXPECT_FALSE(host().request_accessible_action(w->CmdUnistall.hWnd()));
    EXPECT_FALSE(host().request_accessible_action(0));
    EXPECT_FALSE(host().request_accessible_action(w->Text1.hWnd()));
    // Not offered: the working controls.
    EXPECT_FALSE(host().accessible_tree().find(w->File1.hWnd()));
    EXPECT_FALSE(host().accessible_tree().find(w->Text8.hWnd()));

    // Disabled between the request and the loop: nothing happens.
    ASSERT_TRUE(host().request_accessible_action(w->CmdSCan.hWnd()));
    w->CmdSCan.Enabled(false);
    host().DoEvents();
    EXPECT_TRUE(w->Frame2.is_shown());
    EXPECT_EQ(w->ListView1.item_count(), 0);

    // While a message box is open the window is unavailable and takes no action.
    w->CmdSCan.Enabled(true);
    bool refused = false;
    headless->queue_answer(host::vbOK, 0, 0, [&] {
        refused = !host().request_accessible_action(w->CmdSCan.hWnd());
        EXPECT_TRUE(host().accessible_tree().states.has(host::AccessibleState::Unavailable));
    });
    host().MsgBox("x");
    EXPECT_TRUE(refused);
}

TEST_F(Accessible, TabbingRaisesAFocusEventForEachControlInTurn)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    scan_and_open_remove_page();
    headless->clear_accessible_events();
    std::vector<host::WindowHandle> expected;
    for (int i = 0; i < 3; ++i) {
        headless->key(host::vbKeyTab);
        expected.push_back(host().focused()->hWnd());
    }
    std::vector<host::WindowHandle> focus;
    for (auto& e : headless->accessible_events()) {
        if (e.event == AccessibleEvent::Focus)
            focus.push_back(e.id);
    }
    EXPECT_EQ(focus, expected);
    // Each is a node of the tree, and the tree says so.
    auto tree = host().accessible_tree();
    ASSERT_TRUE(tree.find(expected.back()));
    EXPECT_TRUE(tree.find(expected.back())->states.has(host::AccessibleState::Focused));
}

TEST_F(Accessible, ProgressIsAnnouncedAtEachTenthOnlyAndTheVerdictAfterIt)
{
    older_messenger('c');
    newer_messenger('d');
    // Enough files that the removal's bar takes many more steps than there are tenths.
    for (int i = 0; i < 250; ++i)
        text_file('c', std::string(OlderFolder) + "/f" + std::to_string(i) + ".txt");
    open();
    scan();
    std::vector<std::string> scan_progress = announcements_like("Progress");
    ASSERT_EQ(scan_progress.size(), 10u);
    EXPECT_EQ(scan_progress.front(), "Progress 10%");
    EXPECT_EQ(scan_progress.back(), "Progress 100%");
    EXPECT_EQ(headless->announcements().back(), TwoVersionsVerdict);

    headless->clear_announcements();
    ASSERT_TRUE(headless->click(w->CmdRemove));
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    ASSERT_FALSE(fs::exists(drive('c') / OlderFolder));
    std::vector<std::string> removal = announcements_like("Progress");
    EXPECT_LE(removal.size(), 10u);
    EXPECT_GE(removal.size(), 5u);
    for (size_t i = 1; i < removal.size(); ++i)
        EXPECT_NE(removal[i], removal[i - 1]);
}

TEST_F(Accessible, FilesLeftBehindAreAnnouncedAsTheBoxOpensWithoutFloodingTheReader)
{
    older_messenger('c');
    newer_messenger('d');
    std::vector<fs::path> locked;
    for (int i = 0; i < 12; ++i) {
        locked.push_back(text_file('c', std::string(OlderFolder) + "/locked" + std::to_string(i) + ".txt"));
        fs::permissions(
            locked.back(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    open();
    scan_and_open_remove_page();
    headless->clear_announcements();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    auto said = announcements_like("12 files were not deleted: ");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find(" and 2 more"), std::string::npos) << said[0];
}
