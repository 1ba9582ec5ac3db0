#include "HostTestSupport.h"

#include "platform/host/CheckBox.h"
#include "platform/host/Frame.h"
#include "platform/host/PictureBox.h"
#include "platform/host/TextBox.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;
using Log = std::vector<std::string>;

namespace {

struct Input : HostFixture, ::testing::Test {
    void show() { host->show(*form); }
    void clear(RecordingControl& c) { c.log.clear(); }
};

} // namespace

TEST_F(Input, LoadingAndShowingRunTheNotificationsInOrder)
{
    auto& a = add("A", 10, 10, 50, 20);
    EXPECT_EQ(a.log, (Log {"Initialize", "InitProperties"}));
    show();
    // Show and Resize come with the form; the first control in tab order takes the focus.
    EXPECT_EQ(a.log, (Log {"Initialize", "InitProperties", "Show", "Resize", "EnterFocus"}));
    form->unload();
    EXPECT_EQ(a.log.back(), "Terminate");
}

TEST_F(Input, ClickIsPressReleaseClickWithCoordinatesInPixels)
{
    auto& a = add("A", 10, 10, 50, 20);
    show();
    clear(a);
    headless->mouse_move(20, 15);
    headless->mouse_down(1);
    headless->mouse_up(1);
    EXPECT_EQ(a.log, (Log {"MouseDown 1 0 10 5", "MouseUp 1 0 10 5", "Click"}));
}

// Tests that place the pointer themselves deliver events as they stand: a press there moves no
// pointer first, and a key leaves the pointer where it was.
TEST_F(Input, AnEventDeliveredAsItStandsPlacesThePointerOnlyForTheMouse)
{
    auto& a = add("A", 10, 10, 50, 20);
    show();
    clear(a);
    a.log_moves = true;
    headless->set_client_origin({100, 100});
    headless->input({InputEvent::Kind::MouseDown, 20, 15, 1, 0, 0});
    headless->input({InputEvent::Kind::KeyDown, 0, 0, 0, 0, 'A'});
    headless->input({InputEvent::Kind::MouseUp, 20, 15, 1, 0, 0});
    EXPECT_EQ(a.log, (Log {"MouseDown 1 0 10 5", "KeyDown 65 0", "MouseUp 1 0 10 5", "Click"}));
    gdi::POINT p {};
    ASSERT_TRUE(host->GetCursorPos(&p));
    EXPECT_EQ(p.x, 120);
    EXPECT_EQ(p.y, 115);
}

TEST_F(Input, DoubleClickIsPressReleaseClickDoubleClickRelease)
{
    auto& a = add("A", 10, 10, 50, 20);
    show();
    clear(a);
    headless->double_click(a);
    EXPECT_EQ(
        a.log, (Log {"MouseDown 1 0 25 10", "MouseUp 1 0 25 10", "Click", "DblClick", "MouseUp 1 0 25 10"}));
    // A third press, or a press after the double-click time, starts afresh.
    clear(a);
    headless->advance(600);
    headless->click(a);
    headless->advance(600);
    headless->click(a);
    EXPECT_EQ(a.log,
        (Log {"MouseDown 1 0 25 10", "MouseUp 1 0 25 10", "Click", "MouseDown 1 0 25 10", "MouseUp 1 0 25 10",
            "Click"}));
}

TEST_F(Input, TheWindowPressedKeepsTheMouseUntilRelease)
{
    auto& a = add("A", 10, 10, 50, 20);
    auto& b = add("B", 100, 10, 50, 20);
    show();
    clear(a);
    clear(b);
    headless->press(a);
    a.log_moves = true;
    headless->mouse_move(120, 20); // over B, still captured by A
    headless->mouse_up(1);
    // The release outside gives MouseUp with coordinates outside, and no Click.
    EXPECT_EQ(a.log, (Log {"MouseDown 1 0 25 10", "MouseMove 1 0 110 10", "MouseUp 1 0 110 10"}));
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(host->capture(), nullptr);
}

TEST_F(Input, RightButtonCodesAndShiftMaskReachTheControl)
{
    auto& a = add("A", 10, 10, 50, 20);
    show();
    clear(a);
    headless->move_to(a);
    headless->mouse_down(2, vbShiftMask | vbCtrlMask);
    headless->mouse_up(2, vbShiftMask | vbCtrlMask);
    EXPECT_EQ(a.log, (Log {"MouseDown 2 3 25 10", "MouseUp 2 3 25 10", "Click"}));
}

TEST_F(Input, HiddenContainersHideTheirChildrenAndDisabledOnesPassThePointerOn)
{
    auto& frame = form->add<Frame>("Frame1");
    frame.Move(0, 0, 200 * 15, 100 * 15);
    frame.BorderStyle(0);
    auto& inner = add("Inner", 10, 10, 50, 20, &frame);
    show();
    EXPECT_TRUE(inner.is_shown());
    frame.Visible(false);
    EXPECT_FALSE(inner.is_shown());
    EXPECT_EQ(host->window_at({20, 20}), form.get());
    EXPECT_FALSE(headless->point_in(inner).has_value());
    frame.Visible(true);
    EXPECT_EQ(host->window_at({20, 20}), &inner);
    inner.Enabled(false);
    EXPECT_EQ(WindowFromPoint({100 + 20, 100 + 20}), frame.hWnd());
    clear(inner);
    headless->mouse_move(20, 20);
    headless->mouse_down(1);
    headless->mouse_up(1);
    EXPECT_TRUE(inner.log.empty());
}

TEST_F(Input, AWindowRegionCutsAwayPixelsForDrawingAndForThePointer)
{
    auto& below = add("Below", 10, 10, 40, 40);
    auto& above = add("Above", 10, 10, 40, 40);
    show();
    // A triangle-ish cut: keep only the left half of the upper control.
    gdi::HRGN region = gdi::CreateRectRgn(0, 0, 20, 40);
    size_t live = gdi::live_object_count();
    EXPECT_EQ(SetWindowRgn(above.hWnd(), region, gdi::TRUE), 1);
    EXPECT_EQ(host->window_at({15, 15}), &above);
    EXPECT_EQ(host->window_at({40, 15}), &below);
    EXPECT_EQ(WindowFromPoint({100 + 40, 100 + 15}), below.hWnd());
    // Drawing: the cut-away half shows the control beneath.
    below.canvas().BackColor(0x0000FF);
    above.canvas().BackColor(0x00FF00);
    below.Refresh();
    above.Refresh();
    host->present_pending();
    EXPECT_EQ(headless->screen().pixel(15, 15) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(headless->screen().pixel(40, 15) & 0xFFFFFF, 0x0000FFu);
    // A new region replaces (and frees) the old one; the window frees the last one itself.
    EXPECT_EQ(SetWindowRgn(above.hWnd(), gdi::CreateRectRgn(0, 0, 40, 40), gdi::TRUE), 1);
    EXPECT_EQ(gdi::live_object_count(), live);
    EXPECT_EQ(host->window_at({40, 15}), &above);
    EXPECT_EQ(SetWindowRgn(12345, nullptr, gdi::TRUE), 0);
}

TEST_F(Input, ConstituentsGetTheirOwnEventsAndZOrderDecidesWhichIsHit)
{
    auto& uc = add("UC", 10, 10, 100, 20);
    PictureBox picture(uc, "Picture1");
    CheckBox check(uc, "Check1");
    picture.Move(0, 0, 195, 195);
    check.Move(-30, 0, 855, 195);
    picture.ZOrder(0); // the picture lies above the check box's own square
    std::vector<std::string> seen;
    picture.on_mouse_down = [&](int16_t b, int16_t, float x, float y) {
        seen.push_back("picture down " + std::to_string(b) + " " + std::to_string(int(x)) + ","
            + std::to_string(int(y)));
    };
    picture.on_mouse_up = [&](int16_t, int16_t, float, float) { seen.push_back("picture up"); };
    check.on_mouse_down = [&](int16_t, int16_t, float, float) { seen.push_back("check down"); };
    check.on_click = [&] { seen.push_back("check click"); };
    show();
    headless->mouse_move(10 + 5, 10 + 5);
    headless->mouse_down(1);
    headless->mouse_up(1);
    headless->mouse_move(10 + 40, 10 + 5);
    headless->mouse_down(1);
    headless->mouse_up(1);
    // Constituent coordinates are twips of the constituent.
    EXPECT_EQ(
        seen, (std::vector<std::string> {"picture down 1 75,75", "picture up", "check down", "check click"}));
    EXPECT_EQ(check.Value(), 1);
    EXPECT_NE(picture.hWnd(), check.hWnd());
    EXPECT_EQ(WindowFromPoint({100 + 15, 100 + 15}), picture.hWnd());
    // A press on a constituent gives the focus to the user control.
    EXPECT_EQ(host->focused(), &uc);
}

TEST_F(Input, TabAndShiftTabFollowTheTabOrderAndFocusNoticesFollow)
{
    auto& a = add("A", 0, 0, 20, 20);
    auto& b = add("B", 30, 0, 20, 20);
    auto& c = add("C", 60, 0, 20, 20);
    show();
    EXPECT_EQ(host->focused(), &a);
    clear(a);
    clear(b);
    headless->key(vbKeyTab);
    EXPECT_EQ(host->focused(), &b);
    EXPECT_EQ(a.log, (Log {"ExitFocus"}));
    EXPECT_EQ(b.log, (Log {"EnterFocus"}));
    headless->key(vbKeyTab, vbShiftMask);
    EXPECT_EQ(host->focused(), &a);
    headless->key(vbKeyTab, vbShiftMask); // wraps to the last
    EXPECT_EQ(host->focused(), &c);
    // Hidden and disabled controls are skipped.
    a.Visible(false);
    b.Enabled(false);
    headless->key(vbKeyTab);
    EXPECT_EQ(host->focused(), &c);
}

TEST_F(Input, SendKeysMovesTheFocusAfterTheCurrentNotification)
{
    struct Arrows : RecordingControl {
        void UserControl_KeyDown(int16_t& k, int16_t& s) override
        {
            RecordingControl::UserControl_KeyDown(k, s);
            if (k == vbKeyRight)
                host().SendKeys("{Tab}");
            if (k == vbKeyLeft)
                host().SendKeys("+{Tab}");
            focused_during_keydown = host().focused();
        }
        Control* focused_during_keydown {nullptr};
    };
    auto& a = form->add<Arrows>("A");
    a.Move(0, 0, 300, 300);
    form->load_control(a, nullptr);
    auto& b = add("B", 30, 0, 20, 20);
    show();
    clear(b);
    headless->key(vbKeyRight);
    EXPECT_EQ(a.focused_during_keydown, &a);
    EXPECT_EQ(host->focused(), &b);
    // The key's release goes to the control that has the focus by then.
    EXPECT_EQ(b.log, (Log {"EnterFocus", "KeyUp 39 0"}));
}

TEST_F(Input, KeysGoToTheFocusedControlWithWindowsKeyCodes)
{
    auto& a = add("A", 0, 0, 20, 20);
    show();
    clear(a);
    headless->key(vbKeySpace);
    headless->key(vbKeyReturn);
    headless->key(vbKeyDown, vbShiftMask);
    EXPECT_EQ(a.log,
        (Log {"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0", "KeyDown 13 0", "KeyPress 13", "KeyUp 13 0",
            "KeyDown 40 1", "KeyUp 40 1"}));
}

TEST_F(Input, AccessKeysWorkWithAltAndAsPlainLettersWhereNoTextIsTyped)
{
    auto& a = add("A", 0, 0, 20, 20);
    auto& b = add("B", 30, 0, 20, 20);
    b.AccessKeys("R");
    auto& text = form->add<TextBox>("Text1");
    text.Move(0, 50 * 15, 100 * 15, 20 * 15);
    show();
    clear(a);
    clear(b);
    headless->key('R', vbAltMask);
    EXPECT_EQ(host->focused(), &b);
    // The key's release reaches the control that now has the focus, as Windows sends it.
    EXPECT_EQ(b.log, (Log {"EnterFocus", "AccessKeyPress 82", "KeyUp 82 4"}));
    // A plain letter on a control that takes no text acts as the access key too.
    host->set_focus(&a);
    clear(b);
    headless->type("r");
    EXPECT_EQ(b.log, (Log {"EnterFocus", "AccessKeyPress 82", "KeyUp 82 0"}));
    // In a text field the letter is typed.
    host->set_focus(&text);
    clear(b);
    headless->type("r");
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(text.Text(), "r");
    // A hidden control's access key does nothing.
    b.Visible(false);
    host->set_focus(&a);
    clear(a);
    headless->key('R', vbAltMask);
    EXPECT_EQ(a.log, (Log {"KeyDown 82 4", "KeyUp 82 4"}));
}

TEST_F(Input, RaisedEventsPassArgumentsByReferenceAndAreRecorded)
{
    struct Raiser : RecordingControl {
        void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override
        {
            RaiseEvent("MouseDown", {&Button, &Shift, &X, &Y});
            button_after = Button;
            RaiseEvent("Click");
        }
        int16_t button_after {0};
    };
    EventRecorder recorder;
    host->set_event_recorder(&recorder);
    auto& r = form->add<Raiser>("Opt", nullptr, 2);
    r.Move(0, 0, 300, 300);
    form->load_control(r, nullptr);
    std::vector<std::string> handled;
    form->on_event("Opt(2)", "MouseDown", [&](EventArgs args) {
        handled.push_back("down");
        args[0].as<int16_t>() = 9;
    });
    form->on_event("Opt", "Click", [&](EventArgs) { handled.push_back("click"); });
    form->on_event("Other", "Click", [&](EventArgs) { handled.push_back("wrong"); });
    show();
    headless->click(r);
    EXPECT_EQ(handled, (std::vector<std::string> {"down", "click"}));
    EXPECT_EQ(r.button_after, 9);
    EXPECT_EQ(
        recorder.lines(), (std::vector<std::string> {"Opt(2).MouseDown(1, 0, 10, 10)", "Opt(2).Click"}));
}
