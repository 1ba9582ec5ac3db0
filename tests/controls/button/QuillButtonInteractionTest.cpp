// The button's behaviour as event transcripts: gestures, keys, access keys, the hover timer on
// the virtual clock, and option groups.

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

using Names = std::vector<std::string>;

// A push button "Cmd" at (10, 10) and an option button "Opt" at (10, 60), 100 x 30 each; showing
// the window gives "Cmd" the focus.
class Gestures : public ::testing::Test {
protected:
    Gestures()
        : button(h.add("Cmd", 10, 10, 100, 30))
        , option(h.add("Opt", 10, 60, 100, 30))
    {
        option.OptionButton(true);
        h.show();
        h.events.clear();
    }
    int32_t state() { return QuillButtonTestAccess(button).state(); }
    ButtonHost h;
    QuillButton& button;
    QuillButton& option;
};

TEST_F(Gestures, Clicks)
{
    h.move(20, 20);
    h.down();
    EXPECT_EQ(state(), 2);
    h.up();
    EXPECT_EQ(state(), 4);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseDown", "MouseUp", "Click"}));

    h.click_at(20, 70);
    h.click_at(20, 70); // already selected: only the release
    EXPECT_EQ(h.transcript("Opt"), (Names {"Click", "MouseDown", "MouseUp", "MouseUp"}));

    // The second press of a double click shows the pressed face; no second Click.
    h.events.clear();
    h.move(20, 20);
    h.down();
    h.up();
    h.down();
    EXPECT_EQ(state(), 2);
    h.up();
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseDown", "MouseUp", "Click", "MouseUp"}));

    // Calls the button makes itself (Button -1) raise no mouse events.
    h.events.clear();
    button.UserControl_MouseDown(-1, 0, 0, 0);
    EXPECT_EQ(state(), 2);
    button.UserControl_MouseUp(-1, 0, 0, 0);
    EXPECT_TRUE(h.events.events().empty());
}

TEST_F(Gestures, RightClickIsSwallowed)
{
    h.move(20, 20);
    h.down(host::vbRightButton);
    EXPECT_FALSE(button.Enabled());
    EXPECT_TRUE(static_cast<host::Control&>(button).Enabled());
    h.up(host::vbRightButton);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseDown", "MouseUp"}));
    EXPECT_TRUE(button.Enabled());

    // Without a click to swallow, the pointer leaving re-arms the button...
    button.UserControl_MouseDown(host::vbRightButton, 0, 5, 5);
    h.move(300, 250);
    h.advance(100);
    EXPECT_TRUE(button.Enabled());
    // ... but never one disabled through its Enabled setter.
    h.move(20, 20);
    button.Enabled(false);
    h.move(300, 250);
    h.advance(100);
    EXPECT_FALSE(button.Enabled());
}

TEST_F(Gestures, Keys)
{
    h.key_down(host::vbKeySpace);
    EXPECT_EQ(state(), 2);
    h.typed(' ');
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"KeyDown", "KeyPress", "KeyUp", "Click"}));

    // A space released after another key went down gives only KeyUp.
    h.events.clear();
    h.key_down(host::vbKeySpace);
    h.key_down('A');
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"KeyDown", "KeyDown", "KeyUp"}));

    // Arrows move the focus and raise no KeyDown; Enter on an option button raises nothing.
    h.events.clear();
    h.key_down(host::vbKeyDown);
    EXPECT_EQ(h.host->focused(), &option);
    h.key_down(host::vbKeyReturn);
    h.key_up(host::vbKeyReturn);
    h.key_down(host::vbKeySpace);
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.transcript("Opt"), (Names {"KeyUp", "Click", "KeyDown", "KeyUp"}));
    h.key_down(host::vbKeyUp);
    EXPECT_EQ(h.host->focused(), &button);
}

TEST_F(Gestures, AccessKeys)
{
    button.Caption("&Scan");
    option.Caption("&Opt");
    double before = h.backend->now_ms();
    h.key_down('S', host::vbAltMask);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"Click"}));
    // The pressed face stays for 0.15 s of sleeping on the host clock, not spinning.
    EXPECT_GE(h.backend->now_ms() - before, 150);
    EXPECT_LE(h.backend->now_ms() - before, 200);

    h.key_down('O', host::vbAltMask);
    h.key_down('O', host::vbAltMask); // selected: the key comes as key events
    EXPECT_EQ(h.transcript("Opt"), (Names {"Click", "KeyDown", "KeyPress", "KeyUp"}));
    EXPECT_EQ(h.events.events().back().args[0].to_integer(), 'o');

    // A clock that passes midnight ends the wait.
    h.backend->set_time_of_day(86399.95);
    before = h.backend->now_ms();
    h.key_down('S', host::vbAltMask);
    EXPECT_LT(h.backend->now_ms() - before, 100);
}

TEST_F(Gestures, ScreenReadersHearNameShortcutRoleAndPress)
{
    button.Caption("Fish && &Chips");
    option.Caption("&&Opt");
    auto tree = h.host->accessible_tree();
    ASSERT_EQ(tree.children.size(), 2u);
    EXPECT_EQ(host::accessible_line(tree.children[0]),
        "push button \"Fish & Chips\" [focused,focusable] action=\"Press\" key=\"Alt+C\"");
    EXPECT_EQ(host::accessible_line(tree.children[1]), "radio button \"&Opt\" [focusable] action=\"Press\"");

    // Pressed and released, then the option selected: one state event each time.
    h.backend->clear_accessible_events();
    h.move(20, 20);
    h.down();
    EXPECT_TRUE(h.host->accessible_node(button.hWnd())->states.has(host::AccessibleState::Pressed));
    h.up();
    h.click_at(20, 70);
    int state_events = 0;
    for (auto& e : h.backend->accessible_events())
        state_events += e.event == host::AccessibleEvent::State;
    EXPECT_EQ(state_events, 4);
    auto selected = h.host->accessible_node(option.hWnd());
    EXPECT_TRUE(selected->states.has(host::AccessibleState::Checked));
    EXPECT_TRUE(selected->default_action.empty()) << "a selected option does nothing on Space";
}

TEST_F(Gestures, DragOutAndBackWithTheHoverTimer)
{
    QuillButtonTestAccess access(button);
    h.move(20, 20);
    h.down();
    // Outside with the button held: the state changes, the face waits for the timer.
    h.move(300, 250);
    EXPECT_EQ(access.state(), 3);
    h.advance(99);
    EXPECT_TRUE(access.mouse_inside());
    h.advance(1);
    EXPECT_FALSE(access.mouse_inside());
    EXPECT_FALSE(access.hover_timer().Enabled());
    h.advance(1000);
    h.move(20, 20);
    EXPECT_EQ(access.state(), 2);
    h.up();
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseDown", "MouseOut", "MouseUp", "Click"}));

    // While the pointer stays, ticks do nothing; a child window on top counts as outside.
    h.events.clear();
    h.advance(1000);
    EXPECT_TRUE(h.transcript("Cmd").empty());
    h.add("Top", 15, 15, 20, 20);
    h.advance(100);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseOut"}));

    // Losing the focus keeps the timer, so the pointer leaving afterwards still raises MouseOut.
    h.move(60, 20);
    option.SetFocus();
    EXPECT_EQ(access.state(), 4);
    EXPECT_TRUE(access.hover_timer().Enabled());
    h.events.clear();
    h.move(300, 250);
    h.advance(100);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseOut"}));
    EXPECT_EQ(access.state(), 0);
}

// A button that disables itself in its Click handler ("Begin Scan") loses the focus under the
// pointer; whenever it is enabled again it shows the look that matches where the pointer is.
TEST_F(Gestures, DisabledUnderThePointerComesBackWithTheRightLook)
{
    QuillButtonTestAccess access(button);
    h.click_at(20, 20);
    button.Enabled(false);
    EXPECT_FALSE(access.has_focus());
    // Over a disabled button the pointer belongs to its container: the next tick raises MouseOut.
    h.advance(100);
    EXPECT_FALSE(access.mouse_inside());
    h.move(300, 250);
    h.advance(1000);
    button.Enabled(true);
    EXPECT_EQ(access.state(), 0);
    EXPECT_FALSE(access.hover_timer().Enabled());
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseDown", "MouseUp", "Click", "MouseOut"}));

    // Enabled again with the pointer resting on it: pointer over, and MouseOut once it leaves.
    h.events.clear();
    button.Enabled(false);
    h.move(20, 20);
    button.Enabled(true);
    EXPECT_EQ(access.state(), 4);
    EXPECT_TRUE(access.mouse_inside());
    h.advance(500);
    EXPECT_TRUE(h.transcript("Cmd").empty());
    h.move(300, 250);
    h.advance(100);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseOut"}));
    EXPECT_EQ(access.state(), 0);
}

// A window of another program, or a message box, over the button counts as outside for the
// hover timer; the button's own window answers again once it is gone.
TEST_F(Gestures, WindowOverTheButtonEndsTheHover)
{
    QuillButtonTestAccess access(button);
    h.move(20, 20);
    h.advance(1000);
    EXPECT_TRUE(access.mouse_inside());
    h.backend->set_window_under_pointer(host::WindowUnderPointer::Other);
    h.advance(100);
    EXPECT_FALSE(access.mouse_inside());
    EXPECT_EQ(access.state(), 3);
    EXPECT_EQ(h.transcript("Cmd"), (Names {"MouseOut"}));

    h.backend->set_window_under_pointer(host::WindowUnderPointer::Form);
    h.move(21, 20);
    h.advance(1000);
    EXPECT_TRUE(access.mouse_inside());
}

// [SECTION] Option groups

class OptionGroups : public ::testing::Test {
protected:
    OptionGroups()
    {
        auto& frame1 = h.add_frame("Frame1", 0, 0, 150, 100);
        auto& frame2 = h.add_frame("Frame2", 150, 0, 150, 100);
        auto& array0 = h.add_frame("Fra", 0, 100, 150, 100, 0);
        auto& array1 = h.add_frame("Fra", 150, 100, 150, 100, 1);
        a = &option(h.add("OptA", 10, 10, 100, 30, &frame1));
        b = &option(h.add("OptB", 10, 50, 100, 30, &frame1));
        c = &option(h.add("OptC", 10, 10, 100, 30, &frame2));
        d = &option(h.add("Opt", 10, 10, 100, 30, &array0, 0));
        e = &option(h.add("Opt", 10, 50, 100, 30, &array0, 1));
        f = &option(h.add("Opt", 10, 10, 100, 30, &array1, 2));
        g = &option(h.add("OptG", 310, 10, 80, 30));
        last = &option(h.add("OptLast", 310, 50, 80, 30));
        h.show();
    }
    static QuillButton& option(QuillButton& button)
    {
        button.OptionButton(true);
        return button;
    }
    ButtonHost h;
    QuillButton *a, *b, *c, *d, *e, *f, *g, *last;
};

TEST_F(OptionGroups, OneSelectedPerContainer)
{
    EXPECT_EQ(a->Container(), "Frame1");
    EXPECT_EQ(d->Container(), "Fra(0)");
    EXPECT_EQ(f->Container(), "Fra(1)");
    EXPECT_EQ(g->Container(), h.form->Name());

    for (auto* o : {a, c, d, f, g})
        o->Value(true);
    h.click_at(20, 60); // b
    e->Value(true);
    EXPECT_EQ(std::vector<bool>({a->Value(), b->Value(), c->Value(), d->Value(), e->Value(), f->Value()}),
        std::vector<bool>({false, true, true, false, true, true}));
    EXPECT_EQ(QuillButtonTestAccess(*a).state(), 0);

    // The walk reaches the last control of the window.
    last->Value(true);
    EXPECT_FALSE(g->Value());
    g->Value(true);
    EXPECT_FALSE(last->Value());
}

TEST_F(OptionGroups, PushButtonsTakePartThroughTheirValue)
{
    auto& push = h.add("Push", 310, 100, 80, 30);
    push.Value(true);
    g->Value(true);
    EXPECT_FALSE(push.Value()); // the walk does not ask whether the other is an option button
    push.Value(true);
    push.OptionButton(true);
    EXPECT_FALSE(g->Value());
}

TEST(OptionGroupsFromTheStore, ShowingLeavesOneSelected)
{
    ButtonHost h;
    host::PropertyBag selected;
    selected.add("OPTMOD", true);
    selected.add("OPTVAL", true);
    auto& first = h.add("One", 10, 10, 80, 30, nullptr, -1, &selected);
    auto& second = h.add("Two", 10, 50, 80, 30, nullptr, -1, &selected);
    h.show();
    // The first one shown clears the rest of its group.
    EXPECT_TRUE(first.Value());
    EXPECT_FALSE(second.Value());
}

} // namespace
