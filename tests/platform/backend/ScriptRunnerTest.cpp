#include "tests/platform/host/HostTestSupport.h"

#include "platform/backend/headless/ScriptRunner.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/PictureBox.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;

namespace {

// Asks a question on every click and writes the answer into its text.
struct Asker : RecordingControl {
    std::string_view kind() const override { return "Asker"; }
    void UserControl_Click() override
    {
        RecordingControl::UserControl_Click();
        int answer = host().MsgBox("Remove the files?\r\nAll of them.", vbYesNo + vbCritical, "Confirm");
        answer_text = answer == vbYes ? "yes" : "no";
        if (answer == vbYes && end_on_yes)
            host().End();
    }
    std::string dump_text() const override { return "answer " + answer_text; }
    bool handle_mouse_wheel(int delta) override
    {
        log.push_back("Wheel " + std::to_string(delta));
        return true;
    }
    std::string answer_text {"none"};
    bool end_on_yes {false};
};

// A user control that its own picture box covers from edge to edge: every pixel of it is the
// picture's, and the picture's clicks are the control's.
struct Covered : RecordingControl {
    Covered()
    {
        picture.on_click = [this] { log.push_back("Click"); };
        picture.on_dbl_click = [this] { log.push_back("DblClick"); };
    }
    std::string_view kind() const override { return "Covered"; }
    void UserControl_Resize() override { picture.Move(0, 0, Width(), Height()); }
    PictureBox picture {*this, "Picture1"};
};

struct Scripts : HostFixture, ::testing::Test {
    Scripts()
    {
        register_control_kind("Asker", [] { return std::make_unique<Asker>(); });
        register_control_kind("Covered", [] { return std::make_unique<Covered>(); });
        form = std::make_unique<Form>();
        auto loaded = form->load_text(
            "form: {name: F, caption: \"Script\", client: [3000, 1500], backcolor: 0x00FFFFFF}\n"
            "controls:\n"
            "  - {kind: Asker, name: Ask, index: 0, position: [150, 150, 750, 300]}\n"
            "  - {kind: Asker, name: Ask, index: 1, position: [1050, 150, 750, 300]}\n"
            "  - kind: TextBox\n"
            "    name: Text1\n"
            "    position: [150, 750, 1500, 300]\n"
            "  - {kind: Timer, name: Timer1, properties: [{interval: 10}, {enabled: true}]}\n"
            "  - {kind: Covered, name: Cover, position: [2100, 150, 750, 300]}\n",
            ".", false, "script-form");
        EXPECT_FALSE(loaded.is_error()) << loaded.error().message;
    }
    int run(const std::string& script)
    {
        std::istringstream in(script);
        out.str("");
        err.str("");
        return backend::run_script(*host, *headless, *form, in, out, err, "test.script");
    }
    std::ostringstream out, err;
};

} // namespace

TEST_F(Scripts, CommandsDriveTheFormAndBoxesAreTranscribed)
{
    int status = run("# a comment\n"
                     "\n"
                     "answer yes\n"
                     "click Ask(0)\n"
                     "expect-box\n"
                     "expect-no-box\n"
                     "type Text1 hello\n"
                     "key Text1 8\n"
                     "wait 100\n"
                     "dump\n");
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(out.str(),
        "msgbox 20 \"Confirm\" \"Remove the files?\\r\\nAll of them.\"\n"
        "-> yes\n"
        "Ask(0) Asker visible enabled answer yes\n"
        "Ask(1) Asker visible enabled answer none\n"
        "Text1 TextBox visible enabled \"hell\"\n"
        "Timer1 Timer visible enabled interval 10\n"
        "Cover Covered visible enabled\n"
        "focus Text1\n");
}

TEST_F(Scripts, DumpShowsTheControlsOwnEnabledAndTheFocus)
{
    // A timer keeps its Enabled apart from the window's.
    dynamic_cast<Timer&>(*form->find("Timer1")).Enabled(false);
    EXPECT_EQ(run("click Cover\ndump\n"), 0) << err.str();
    EXPECT_NE(out.str().find("Timer1 Timer visible disabled interval 10\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\nfocus Cover\n"), std::string::npos) << out.str();
}

TEST_F(Scripts, EveryPointOfAControlCoveredByItsConstituentsIsTheControls)
{
    auto& cover = dynamic_cast<Covered&>(*form->find("Cover"));
    EXPECT_EQ(run("click Cover\ndblclick Cover\nmove Cover\npress Cover\nrelease Cover\n"), 0) << err.str();
    EXPECT_EQ(std::count(cover.log.begin(), cover.log.end(), "Click"), 3)
        << ::testing::PrintToString(cover.log);
    EXPECT_EQ(std::count(cover.log.begin(), cover.log.end(), "DblClick"), 1);
}

TEST_F(Scripts, EachClickIsASingleClickAndDblclickIsADoubleOne)
{
    auto& ask = dynamic_cast<Asker&>(*form->find("Ask(0)"));
    // Answering takes no time, yet the second click asks again.
    EXPECT_EQ(run("answer yes\nclick Ask(0)\nanswer no\nclick Ask(0)\ndump\n"), 0) << err.str();
    EXPECT_EQ(ask.answer_text, "no");
    ask.log.clear();
    EXPECT_EQ(run("answer yes\ndblclick Ask(0)\n"), 0) << err.str();
    EXPECT_EQ(std::count(ask.log.begin(), ask.log.end(), "DblClick"), 1) << ::testing::PrintToString(ask.log);
}

TEST_F(Scripts, AnswersMustFitTheirBoxAndAllBeUsed)
{
    // A Yes/No box has no OK button.
    EXPECT_EQ(run("answer ok\nclick Ask(0)\n"), 2);
    EXPECT_EQ(err.str(),
        "test.script:2: \"answer ok\" from line 1 does not fit the box \"Confirm\" (\"Remove the "
        "files?\\r\\nAll of them.\"), which has Yes and No\n");
    EXPECT_EQ(out.str(), "msgbox 20 \"Confirm\" \"Remove the files?\\r\\nAll of them.\"\n-> no\n");
    EXPECT_EQ(run("answer yes\nanswer no\nclick Ask(1)\nwait 10\n"), 2);
    EXPECT_EQ(err.str(), "test.script:4: 1 answer was queued but no box took it (first from line 2)\n");
    // The failed script's answers are gone: the next box has none.
    EXPECT_EQ(run("click Ask(1)\n"), 2);
    EXPECT_NE(err.str().find("no answer queued"), std::string::npos) << err.str();
}

TEST_F(Scripts, TheKeyboardWorksOnWhateverHasTheFocus)
{
    auto& ask = dynamic_cast<Asker&>(*form->find("Ask(1)"));
    // Text1 starts with the focus; Tab goes round to Ask(1) by the tab order.
    EXPECT_EQ(run("key tab\nkey tab\nkey tab\ndump\n"), 0) << err.str();
    std::string focus = out.str().substr(out.str().rfind("focus "));
    ask.SetFocus();
    ask.log.clear();
    EXPECT_EQ(run("key space\nkey shift+a\nkey 13\n"), 0) << err.str();
    EXPECT_EQ(ask.log,
        (std::vector<std::string> {"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0", "KeyDown 65 1", "KeyPress 65",
            "KeyUp 65 1", "KeyDown 13 0", "KeyPress 13", "KeyUp 13 0"}));
    EXPECT_NE(focus, "focus Text1\n");
}

TEST_F(Scripts, WheelAndClickAtReachTheControlUnderThePoint)
{
    auto& ask = dynamic_cast<Asker&>(*form->find("Ask(1)"));
    // Ask(1) lies at pixels 70..120 x 10..30.
    EXPECT_EQ(run("wheel Ask(1) -2\nanswer no\nclick-at 80 20\n"), 0) << err.str();
    EXPECT_EQ(std::count(ask.log.begin(), ask.log.end(), "Wheel -240"), 1);
    EXPECT_EQ(ask.answer_text, "no");
    EXPECT_EQ(run("click-at 200 100\n"), 2);
    EXPECT_NE(err.str().find("click-at takes a point of the window"), std::string::npos);
}

TEST_F(Scripts, ShRunsACommandAndWaitsForIt)
{
    auto path = std::filesystem::temp_directory_path() / "sorrel-script-sh";
    std::filesystem::remove(path);
    // The shell is cmd.exe on Windows, which has no sleep.
#ifdef _WIN32
    EXPECT_EQ(run("sh echo made> \"" + path.string() + "\"\n"), 0) << err.str();
#else
    EXPECT_EQ(run("sh sleep 0.05 && echo made > '" + path.string() + "'\n"), 0) << err.str();
#endif
    EXPECT_TRUE(std::filesystem::exists(path));
    std::filesystem::remove(path);
    EXPECT_EQ(run("sh exit 3\n"), 2);
    EXPECT_EQ(err.str(), "test.script:1: sh: the command ended with status 3\n");
}

TEST_F(Scripts, ClosingEndsTheProgramAndABoxOpenMeanwhileSaysNo)
{
    EXPECT_EQ(run("close\nclick Ask(0)\n"), 0) << err.str();
    EXPECT_EQ(out.str(), "program ended\n");
}

TEST_F(Scripts, AWindowClosedWhileABoxIsOpenGetsTheLeastAnswer)
{
    auto& ask = dynamic_cast<Asker&>(*form->find("Ask(0)"));
    ask.end_on_yes = true;
    EXPECT_EQ(run("answer close\nclick Ask(0)\nclick Ask(1)\n"), 0) << err.str();
    EXPECT_EQ(out.str(),
        "msgbox 20 \"Confirm\" \"Remove the files?\\r\\nAll of them.\"\n-> no (window closed)\nprogram "
        "ended\n");
    EXPECT_EQ(ask.answer_text, "no");
}

TEST_F(Scripts, ALaterCloseComesAtItsTime)
{
    int ticks = 0;
    auto& timer = dynamic_cast<Timer&>(*form->find("Timer1"));
    timer.on_tick = [&] { ++ticks; };
    EXPECT_EQ(run("close-after 55\nwait 200\ndump\n"), 0) << err.str();
    EXPECT_EQ(out.str(), "program ended\n");
    EXPECT_EQ(ticks, 5);
}

TEST_F(Scripts, PressMoveAndReleaseFollowTheCapture)
{
    auto& ask = dynamic_cast<Asker&>(*form->find("Ask(0)"));
    int status
        = run("press Ask(0) right\nmove Ask(1)\nrelease Ask(0)\npress Ask(0)\nmove-away\nrelease Ask(0)\n");
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(ask.log.size() >= 4, true);
    // No click: each release happened away from the pressed control.
    EXPECT_EQ(std::count(ask.log.begin(), ask.log.end(), "Click"), 0);
    EXPECT_TRUE(headless->boxes().empty());
}

TEST_F(Scripts, ErrorsStopTheScriptWithStatusTwo)
{
    const std::pair<const char*, const char*> cases[] = {
        {"click Nobody\n", "test.script:1: no control named Nobody"},
        {"dump\nfrobnicate\n", "test.script:2: unknown command \"frobnicate\""},
        {"click Ask(0)\n",
            "test.script:1: a message box was shown with no answer queued: the box \"Confirm\" (\"Remove the "
            "files?\\r\\nAll of them.\")"},
        {"wait soon\n", "test.script:1: wait takes a number of milliseconds"},
        {"answer maybe\n", "answer takes yes, no, ok or close"},
        {"wheel Ask(0) 0\n", "wheel takes a control and a number of notches"},
        {"key tab tab tab\n", "key takes a key, or a control and a key"},
        {"key Ask(0) fn\n", "a key is a name"},
        {"close-after soon\n", "close-after takes a number of milliseconds"},
        {"press Ask(0) sideways\n", "unknown button"},
        {"key Text1 9999\n", "or a virtual-key code from 1 to 254"},
        {"click\n", "click takes 1 argument"},
    };
    for (auto& [script, message] : cases) {
        EXPECT_EQ(run(script), 2) << script;
        // The error goes with the line number of the bad line.
        EXPECT_EQ(err.str().rfind("test.script:", 0), 0u) << err.str();
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
    }
}

TEST_F(Scripts, FailedExpectationsGiveStatusOneAndEndStopsTheScript)
{
    EXPECT_EQ(run("expect-box\n"), 1);
    EXPECT_NE(err.str().find("expected a message box"), std::string::npos);
    dynamic_cast<Asker&>(*form->find("Ask(1)")).end_on_yes = true;
    EXPECT_EQ(run("answer yes\nclick Ask(1)\nclick Ask(0)\n"), 0);
    EXPECT_EQ(
        out.str(), "msgbox 20 \"Confirm\" \"Remove the files?\\r\\nAll of them.\"\n-> yes\nprogram ended\n");
}

TEST_F(Scripts, ShotsSaveTheWindow)
{
    auto path = (std::filesystem::temp_directory_path() / "sorrel-host-shot.png").string();
    EXPECT_EQ(run("shot " + path + "\n"), 0) << err.str();
    auto picture = LoadPicture(path);
    ASSERT_FALSE(picture.is_error()) << picture.error().message;
    EXPECT_EQ(picture.value()->pixel_width(), 200);
    EXPECT_EQ(picture.value()->pixels().pixel(1, 1) & 0xFFFFFF, 0x00FFFFFFu);
    std::filesystem::remove(path);
    EXPECT_EQ(run("shot /nonexistent-dir/x.png\n"), 2);
}

TEST_F(Scripts, AnAnswerCanWaitForACommandRunWhileTheBoxIsOpen)
{
    EXPECT_EQ(run("answer yes after dump\nclick Ask(0)\n"), 0) << err.str();
    // The dump comes while the box is open: before its answer, with the focus where it was.
    std::string text = out.str();
    EXPECT_EQ(text.rfind("msgbox 20 \"Confirm\"", 0), 0u) << text;
    EXPECT_NE(text.find("\nAsk(0) Asker visible enabled answer none\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 7), "-> yes\n");
    EXPECT_EQ(run("answer no after sh exit 4\nclick Ask(0)\n"), 2);
    // Reported with the line whose box it answered.
    EXPECT_EQ(err.str(), "test.script:2: sh: the command ended with status 4\n");
    EXPECT_EQ(run("answer yes later\n"), 2);
}
