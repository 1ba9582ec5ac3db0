#include "HostTestSupport.h"

#include "platform/backend/headless/ScriptRunner.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/TextBox.h"

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
    std::string answer_text {"none"};
    bool end_on_yes {false};
};

struct Scripts : HostFixture, ::testing::Test {
    Scripts()
    {
        register_control_kind("Asker", [] { return std::make_unique<Asker>(); });
        form = std::make_unique<Form>();
        auto loaded = form->load_text(
            "form: {name: F, caption: \"Script\", client: [3000, 1500], backcolor: 0x00FFFFFF}\n"
            "controls:\n"
            "  - {kind: Asker, name: Ask, index: 0, position: [150, 150, 750, 300]}\n"
            "  - {kind: Asker, name: Ask, index: 1, position: [1050, 150, 750, 300]}\n"
            "  - kind: TextBox\n"
            "    name: Text1\n"
            "    position: [150, 750, 1500, 300]\n"
            "  - {kind: Timer, name: Timer1, properties: [{interval: 10}, {enabled: true}]}\n",
            ".", false, "script-form");
        EXPECT_FALSE(loaded.is_error()) << loaded.error();
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
        "Ask(0) Asker visible enabled answer yes\n"
        "Ask(1) Asker visible enabled answer none\n"
        "Text1 TextBox visible enabled \"hell\"\n"
        "Timer1 Timer visible enabled interval 10\n");
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
            "test.script:1: a message box was shown with no answer queued: \"Remove the files?\\r\\nAll of "
            "them.\""},
        {"wait soon\n", "test.script:1: wait takes a number of milliseconds"},
        {"answer maybe\n", "answer takes yes, no or ok"},
        {"press Ask(0) sideways\n", "unknown button"},
        {"key Text1 9999\n", "a key is a virtual-key code"},
        {"click\n", "click takes 1 argument"},
    };
    for (auto& [script, message] : cases) {
        EXPECT_EQ(run(script), 2) << script;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
    }
}

TEST_F(Scripts, FailedExpectationsGiveStatusOneAndEndStopsTheScript)
{
    EXPECT_EQ(run("expect-box\n"), 1);
    EXPECT_NE(err.str().find("expected a message box"), std::string::npos);
    dynamic_cast<Asker&>(*form->find("Ask(1)")).end_on_yes = true;
    EXPECT_EQ(run("answer yes\nclick Ask(1)\nclick Ask(0)\n"), 0);
    EXPECT_EQ(out.str(), "msgbox 20 \"Confirm\" \"Remove the files?\\r\\nAll of them.\"\nprogram ended\n");
}

TEST_F(Scripts, ShotsSaveTheWindow)
{
    auto path = (std::filesystem::temp_directory_path() / "sorrel-host-shot.png").string();
    EXPECT_EQ(run("shot " + path + "\n"), 0) << err.str();
    auto picture = LoadPicture(path);
    ASSERT_FALSE(picture.is_error()) << picture.error();
    EXPECT_EQ(picture.value()->pixel_width(), 200);
    EXPECT_EQ(picture.value()->pixels().pixel(1, 1) & 0xFFFFFF, 0x00FFFFFFu);
    std::filesystem::remove(path);
    EXPECT_EQ(run("shot /nonexistent-dir/x.png\n"), 2);
}
