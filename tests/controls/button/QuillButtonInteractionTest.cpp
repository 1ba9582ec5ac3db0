// The button's behaviour as event transcripts: the common gestures, keys, the access key, focus,
// the hover timer on the virtual clock, and option groups.

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

using Names = std::vector<std::string>;

// The events of one button without its MouseMove events, which only say that the pointer moved.
Names without_moves(const ButtonHost& h, std::string_view source)
{
    Names out;
    for (auto& name : h.names(source)) {
        if (name != "MouseMove")
            out.push_back(name);
    }
    return out;
}

class Gestures : public ::testing::Test {
protected:
    Gestures()
    {
        button = &h.add("Cmd", 10, 10, 100, 30);
        option = &h.add("Opt", 10, 60, 100, 30);
        option->OptionButton(true);
        h.show();
        h.events.clear();
    }
    ButtonHost h;
    QuillButton* button {nullptr};
    QuillButton* option {nullptr};
};

TEST_F(Gestures, ClicksOnPushAndOptionButtons)
{
    h.move(20, 20);
    h.press(20, 20);
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 2);
    h.release(20, 20);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseDown", "MouseUp", "Click"}));
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 4);

    h.events.clear();
    h.move(20, 70);
    h.press(20, 70);
    h.release(20, 70);
    EXPECT_EQ(without_moves(h, "Opt"), (Names {"Click", "MouseDown", "MouseUp"}));
    EXPECT_TRUE(option->Value());

    // A selected option button gives nothing but the release.
    h.events.clear();
    h.press(20, 70);
    h.release(20, 70);
    EXPECT_EQ(without_moves(h, "Opt"), (Names {"MouseUp"}));
}

TEST_F(Gestures, DoubleClickShowsThePressedFaceWithoutASecondClick)
{
    h.move(20, 20);
    h.press(20, 20);
    h.release(20, 20);
    h.backend->clock_ms += 50;
    h.press(20, 20);
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 2);
    h.release(20, 20);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseDown", "MouseUp", "Click", "MouseUp"}));
}

TEST_F(Gestures, RightClickIsSwallowedAndEnabledComesBack)
{
    h.move(20, 20);
    h.press(20, 20, host::vbRightButton);
    EXPECT_FALSE(button->Enabled());
    EXPECT_TRUE(static_cast<host::Control*>(button)->Enabled());
    h.release(20, 20, host::vbRightButton);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseDown", "MouseUp"}));
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(h.events.events()[1].args[0].to_integer(), host::vbRightButton);

    // Without a click to swallow, the pointer leaving re-arms the button.
    h.events.clear();
    button->UserControl_MouseDown(2, 0, 5, 5);
    EXPECT_FALSE(button->Enabled());
    h.backend->cursor = {300, 250};
    h.advance(100);
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseDown", "MouseOut"}));
}

TEST_F(Gestures, DisabledButtonStaysDisabledWhenThePointerLeaves)
{
    h.move(20, 20);
    button->Enabled(false);
    h.backend->cursor = {300, 250};
    h.advance(100);
    EXPECT_FALSE(button->Enabled());
}

TEST_F(Gestures, SpaceOnPushAndOptionButtons)
{
    button->SetFocus();
    h.key_down(host::vbKeySpace);
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 2);
    h.typed(' ');
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.names("Cmd"), (Names {"KeyDown", "KeyPress", "KeyUp", "Click"}));

    h.events.clear();
    option->SetFocus();
    h.key_down(host::vbKeySpace);
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.names("Opt"), (Names {"Click", "KeyDown", "KeyUp"}));
    EXPECT_TRUE(option->Value());

    // Enter does nothing at all on an option button, and only KeyDown on a push button.
    h.events.clear();
    h.key_down(host::vbKeyReturn);
    button->SetFocus();
    h.key_down(host::vbKeyReturn);
    EXPECT_EQ(h.names(), (Names {"KeyDown"}));
}

TEST_F(Gestures, SpaceReleasedOnAnotherButtonGivesOnlyKeyUp)
{
    button->SetFocus();
    h.key_down(host::vbKeySpace);
    int16_t other_key = 65;
    int16_t shift = 0;
    button->UserControl_KeyDown(other_key, shift);
    h.key_up(host::vbKeySpace);
    EXPECT_EQ(h.names("Cmd"), (Names {"KeyDown", "KeyDown", "KeyUp"}));
}

TEST_F(Gestures, ArrowKeysMoveTheFocusAndRaiseOnlyKeyUp)
{
    button->SetFocus();
    h.key_down(host::vbKeyDown);
    EXPECT_EQ(h.host->focused(), option);
    h.key_up(host::vbKeyDown);
    h.key_down(host::vbKeyLeft);
    EXPECT_EQ(h.host->focused(), button);
    EXPECT_EQ(h.names(), (Names {"KeyUp"}));
}

TEST_F(Gestures, AccessKeyHoldsThePressedFaceThenClicks)
{
    double before = h.backend->clock_ms;
    button->UserControl_AccessKeyPress('s');
    EXPECT_EQ(h.names("Cmd"), (Names {"Click"}));
    // The wait sleeps on the host clock rather than spinning, and not much longer than asked.
    EXPECT_GE(h.backend->clock_ms - before, 150);
    EXPECT_LE(h.backend->clock_ms - before, 200);
    // Back to focused: showing the window gave the first button the focus.
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 3);

    // A selected option button passes the key on as key events.
    option->Value(true);
    h.events.clear();
    option->UserControl_AccessKeyPress('o');
    EXPECT_EQ(h.names("Opt"), (Names {"KeyDown", "KeyPress", "KeyUp"}));
    EXPECT_EQ(h.events.events()[0].args[0].to_integer(), 'o');
}

TEST_F(Gestures, AccessKeyFromTheKeyboard)
{
    button->Caption("&Scan");
    option->Caption("&Opt");
    h.key_down('S', host::vbAltMask);
    EXPECT_EQ(h.names("Cmd"), (Names {"Click"}));
    h.key_down('O', host::vbAltMask);
    EXPECT_TRUE(option->Value());
    EXPECT_EQ(h.names("Opt"), (Names {"Click"}));
    // No timer runs during the pressed-face wait.
    h.events.clear();
    h.move(20, 20);
    h.move(300, 20);
    h.backend->cursor = {300, 250};
    h.backend->clock_ms += 95;
    h.key_down('S', host::vbAltMask);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"Click"}));
    h.host->fire_due_timers();
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"Click", "MouseOut"}));
}

TEST_F(Gestures, WaitEndsWhenTheClockPassesMidnight)
{
    h.backend->midnight_offset_s = 86399.95;
    button->UserControl_AccessKeyPress('s');
    EXPECT_LT(h.backend->slept_ms, 150);
}

TEST_F(Gestures, SimulatedCallsRaiseNoMouseEvents)
{
    button->UserControl_MouseDown(-1, 0, 0, 0);
    EXPECT_EQ(QuillButtonTestAccess(*button).state(), 2);
    button->UserControl_MouseUp(-1, 0, 0, 0);
    EXPECT_TRUE(h.names().empty());
}

TEST_F(Gestures, DragOutAndBackWithTheHoverTimer)
{
    QuillButtonTestAccess access(*button);
    h.move(20, 20);
    h.press(20, 20);
    EXPECT_TRUE(access.hover_timer().Enabled());

    // Outside with the button held: the state changes but the face waits for the timer.
    h.move(300, 250, host::vbLeftButton);
    EXPECT_EQ(access.state(), 3); // the press gave the button the focus
    EXPECT_TRUE(access.mouse_inside());
    h.advance(99);
    EXPECT_TRUE(access.mouse_inside());
    h.advance(1);
    EXPECT_FALSE(access.mouse_inside());
    EXPECT_FALSE(access.hover_timer().Enabled());

    h.move(20, 20, host::vbLeftButton);
    EXPECT_EQ(access.state(), 2);
    h.release(20, 20);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseDown", "MouseOut", "MouseUp", "Click"}));
}

TEST_F(Gestures, MouseOutOncePerStayOutside)
{
    QuillButtonTestAccess access(*button);
    h.move(20, 20);
    EXPECT_EQ(access.state(), 4);
    h.advance(500);
    EXPECT_TRUE(h.names("Cmd") == (Names {"MouseMove"}));

    h.backend->cursor = {300, 250};
    h.advance(100);
    h.advance(1000);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseOut"}));
    EXPECT_EQ(access.state(), 3);

    // A child window on top counts as outside.
    h.events.clear();
    h.move(20, 20);
    auto& child = h.add("Top", 15, 15, 20, 20);
    h.backend->cursor = {20, 20};
    h.advance(100);
    EXPECT_EQ(without_moves(h, "Cmd"), (Names {"MouseOut"}));
    (void)child;
}

TEST_F(Gestures, FocusStates)
{
    QuillButtonTestAccess access(*button);
    button->SetFocus();
    EXPECT_EQ(access.state(), 3);
    h.move(20, 20);
    EXPECT_EQ(access.state(), 4);
    h.move(150, 20);
    option->SetFocus();
    EXPECT_EQ(access.state(), 4); // the pointer is still taken to be over it
    EXPECT_FALSE(access.hover_timer().Enabled());
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

TEST_F(OptionGroups, ContainerNamesTheGroup)
{
    EXPECT_EQ(a->Container(), "Frame1");
    EXPECT_EQ(c->Container(), "Frame2");
    EXPECT_EQ(d->Container(), "Fra(0)");
    EXPECT_EQ(e->Container(), "Fra(0)");
    EXPECT_EQ(f->Container(), "Fra(1)");
    EXPECT_EQ(g->Container(), h.form->Name());
}

TEST_F(OptionGroups, SelectingOneClearsOnlyItsOwnGroup)
{
    a->Value(true);
    c->Value(true);
    d->Value(true);
    f->Value(true);
    g->Value(true);
    b->Value(true);
    EXPECT_FALSE(a->Value());
    EXPECT_TRUE(b->Value());
    EXPECT_TRUE(c->Value());
    EXPECT_TRUE(d->Value());
    EXPECT_TRUE(f->Value());
    EXPECT_TRUE(g->Value());

    // Frames of one control array are different groups.
    e->Value(true);
    EXPECT_FALSE(d->Value());
    EXPECT_TRUE(f->Value());
}

TEST_F(OptionGroups, TheLastControlOfTheWindowIsReached)
{
    last->Value(true);
    g->Value(true);
    EXPECT_FALSE(last->Value());
    last->Value(true);
    EXPECT_FALSE(g->Value());
}

TEST_F(OptionGroups, ClickSelectsAndShowClearsTheRest)
{
    h.move(20, 20);
    h.press(20, 20);
    h.release(20, 20);
    EXPECT_TRUE(a->Value());
    h.move(20, 60);
    h.press(20, 60);
    h.release(20, 60);
    EXPECT_TRUE(b->Value());
    EXPECT_FALSE(a->Value());
    EXPECT_EQ(QuillButtonTestAccess(*a).state(), 0);

    // Two selected buttons from the store: the one shown last keeps its selection.
    ButtonHost other;
    host::PropertyBag selected;
    selected.add("OPTMOD", true);
    selected.add("OPTVAL", true);
    auto& first = other.add("One", 10, 10, 80, 30, nullptr, -1, &selected);
    auto& second = other.add("Two", 10, 50, 80, 30, nullptr, -1, &selected);
    other.show();
    EXPECT_NE(first.Value(), second.Value());
}

TEST_F(OptionGroups, PushButtonsTakePartOnlyThroughTheirValue)
{
    auto& push = h.add("Push", 310, 100, 80, 30);
    // The group walk does not ask whether the other button is an option button.
    push.Value(true);
    g->Value(true);
    EXPECT_FALSE(push.Value());

    // Turning a selected push button into an option button selects it in its group.
    push.Value(true);
    EXPECT_TRUE(g->Value());
    push.OptionButton(true);
    EXPECT_FALSE(g->Value());
    EXPECT_TRUE(push.Value());
}

} // namespace
