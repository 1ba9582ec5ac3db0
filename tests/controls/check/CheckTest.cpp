#include "controls/check/Check.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Host.h"
#include "platform/host/PropertyBag.h"
#include "tests/controls/progressbar/ControlTestHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorrel::controls {
namespace {

using host::PropertyBag;
using host::Variant;
using Look = Check::Look;

// On a 255-twip-high control at the form's top-left, the picture covers pixels (0..12, 2..14);
// the caption lies to the right of it.
constexpr int PictureX = 6, PictureY = 8;
constexpr int CaptionX = 40, CaptionY = 8;
constexpr int AwayX = 200, AwayY = 150;

class CheckTest : public ::testing::Test {
protected:
    explicit CheckTest(bool design = false)
        : t(design)
    { }
    void SetUp() override { ASSERT_FALSE(register_check().is_error()); }

    Check& add_check(const PropertyBag* stored = nullptr, std::string name = "ChkOld")
    {
        return t.add<Check>(std::move(name), 0, 0, 1095, 255, stored);
    }
    Check& add_shown(const PropertyBag* stored = nullptr)
    {
        Check& check = add_check(stored);
        t.show();
        return check;
    }
    std::vector<std::string> events() const { return t.events.names("ChkOld"); }

    testing::ControlTestHost t;
};

// The name of the holder whose picture the box shows ("" for none of them).
std::string shown(const Check& check)
{
    for (int value = 0; value <= 2; ++value)
        for (Look look : {Look::Idle, Look::Mouseover, Look::Pushed, Look::Disabled})
            if (check.picture_box().Picture() == check.StatePicture(value, look)->Picture())
                return check.StatePicture(value, look)->Name();
    return "";
}

std::vector<std::string> keys_of(const PropertyBag& bag)
{
    std::vector<std::string> keys;
    for (const auto& entry : bag)
        keys.push_back(entry.key);
    return keys;
}

// [Initialisation, persistence, layout]

TEST_F(CheckTest, NewInstanceTakesItsNameAndTheFormsFont)
{
    Check& check = add_shown();
    EXPECT_EQ(check.Caption(), "ChkOld");
    EXPECT_EQ(check.stored_value(), 0);
    EXPECT_TRUE(check.Enabled());
    EXPECT_TRUE(check.Interactive());
    EXPECT_EQ(check.Font(), t.form->Font());
    EXPECT_EQ(check.caption_box().ForeColor(), 0u);
    EXPECT_EQ(check.DisabledColor(), 0x00C0C0C0u);
    EXPECT_EQ(shown(check), "IdleNoValue");
    EXPECT_TRUE(check.poll_timer().is_running());
}

TEST_F(CheckTest, LoadsTheMainWindowsStoredBoxes)
{
    PropertyBag old_box;
    old_box.add("value", Variant(int32_t(1)));
    old_box.add("caption", Variant("Remove"));
    old_box.add("forecolor", Variant::color(0));
    old_box.add("caption", Variant("Remove"));
    Check& chk_old = add_check(&old_box);

    PropertyBag new_box;
    new_box.add("caption", Variant("Remove"));
    new_box.add("enabled", Variant(false));
    new_box.add("forecolor", Variant::color(0x00C0C0C0));
    new_box.add("caption", Variant("Remove"));
    Check& chk_new = add_check(&new_box, "ChkNew");
    t.show();

    EXPECT_EQ(chk_old.Caption(), "Remove");
    EXPECT_EQ(shown(chk_old), "IdleChecked");
    EXPECT_EQ(chk_old.caption_box().ForeColor(), 0u);
    EXPECT_EQ(chk_new.stored_value(), 0);
    EXPECT_FALSE(chk_new.Enabled());
    EXPECT_EQ(shown(chk_new), "DisabledNoValue");
    EXPECT_EQ(chk_new.caption_box().ForeColor(), 0x00C0C0C0u);
    // Showing starts the poll of both; the disabled one only reads the pointer.
    t.move(PictureX, PictureY);
    t.advance(10);
    EXPECT_EQ(shown(chk_new), "DisabledNoValue");
}

TEST_F(CheckTest, SavesCaptionOnceOrTwiceAndTheDisabledColourAsForeColor)
{
    Check& check = add_shown();
    auto save = [&] {
        PropertyBag bag;
        check.UserControl_WriteProperties(bag);
        return bag;
    };
    EXPECT_EQ(save().count("Caption"), 1u); // the control's own name: only the second write
    check.Caption("Check1");
    EXPECT_EQ(save().count("Caption"), 1u); // only the first
    check.Caption("Remove");
    check.Enabled(false);
    PropertyBag bag = save();
    EXPECT_EQ(keys_of(bag), (std::vector<std::string> {"Caption", "Enabled", "ForeColor", "Caption"}));
    EXPECT_EQ(bag.ReadProperty("ForeColor").to_color(), 0x00C0C0C0u);

    // Reading the saved entries back gives the same box.
    Check& copy = add_check(&bag, "Copy");
    EXPECT_EQ(copy.Caption(), "Remove");
    EXPECT_FALSE(copy.Enabled());
}

TEST_F(CheckTest, DamagedStoredValuesAreSkippedStepByStep)
{
    PropertyBag stored;
    stored.add("Value", Variant("ticked"));
    stored.add("Font", Variant(int32_t(12)));
    stored.add("ForeColor", Variant("red"));
    stored.add("Caption", Variant("Remove"));
    stored.add("DisabledColor", Variant::color(0x00808080));
    Check& check = add_check(&stored);
    t.show();
    EXPECT_EQ(check.stored_value(), 0);
    EXPECT_EQ(check.Caption(), "Remove");
    EXPECT_EQ(check.Font(), t.form->Font());
    EXPECT_EQ(check.DisabledColor(), 0x00808080u);
    EXPECT_EQ(shown(check), "IdleNoValue");
}

TEST_F(CheckTest, ResizeCentresThePictureAndStretchesTheCaption)
{
    Check& check = add_shown();
    EXPECT_FLOAT_EQ(check.picture_box().Top(), 30);
    EXPECT_FLOAT_EQ(check.picture_box().Left(), 0);
    EXPECT_FLOAT_EQ(check.caption_box().Top(), 0);
    EXPECT_FLOAT_EQ(check.caption_box().Height(), 255);
    EXPECT_FLOAT_EQ(check.caption_box().Width(), 1095 + 30);

    // A disabled colour set later shows at the next resize.
    check.Enabled(false);
    check.DisabledColor(0x00808080);
    EXPECT_EQ(check.caption_box().ForeColor(), 0x00C0C0C0u);
    check.Move(0, 0, 1095, 300);
    EXPECT_EQ(check.caption_box().ForeColor(), 0x00808080u);

    // The picture's see-through corners show the box's background.
    const gdi::Color corner = check.picture_box().surface()->pixel(0, 0);
    check.BackColor(0x00FFE0C0);
    EXPECT_EQ(check.BackColor(), 0x00FFE0C0u);
    EXPECT_EQ(check.picture_box().BackColor(), 0x00FFE0C0u);
    EXPECT_LT(gdi::red_of(check.picture_box().surface()->pixel(0, 0)), gdi::red_of(corner));
}

// [Mouse]

TEST_F(CheckTest, DoubleClickTogglesOnceAndRaisesEventsInHostOrder)
{
    Check& check = add_shown();
    t.press(PictureX, PictureY);
    t.release(PictureX, PictureY);
    t.press(PictureX, PictureY);
    t.release(PictureX, PictureY);
    EXPECT_EQ(events(), (std::vector<std::string> {"MouseDown", "Click", "DblClick", "Click"}));
    EXPECT_EQ(check.stored_value(), 1);
}

// On the caption a double click is a second press, as on the platform's check box: each Click
// sees the value its own press made.
TEST_F(CheckTest, DoubleClickOnTheCaptionTogglesTwice)
{
    Check& check = add_shown();
    std::vector<int32_t> seen;
    t.form->on_event("ChkOld", "Click", [&](host::EventArgs) { seen.push_back(check.Value()); });
    t.press(CaptionX, CaptionY);
    t.release(CaptionX, CaptionY);
    t.press(CaptionX, CaptionY);
    EXPECT_EQ(shown(check), "PushedChecked");
    t.release(CaptionX, CaptionY);
    EXPECT_EQ(events(), (std::vector<std::string> {"MouseDown", "Click", "DblClick", "Click"}));
    EXPECT_EQ(seen, (std::vector<int32_t> {1, 0}));
    t.advance(10);
    EXPECT_EQ(shown(check), "MouseoverNoValue");
}

TEST_F(CheckTest, RightButtonRaisesMouseDownOnlyAndChangesNothing)
{
    Check& check = add_shown();
    t.press(PictureX, PictureY, host::vbRightButton);
    EXPECT_EQ(shown(check), "IdleNoValue");
    EXPECT_TRUE(check.poll_timer().is_running());
    t.release(PictureX, PictureY, host::vbRightButton);
    EXPECT_EQ(t.events.lines("ChkOld"), std::vector<std::string> {"ChkOld.MouseDown(2, 0, 90, 90)"});
    EXPECT_EQ(check.stored_value(), 0);
}

TEST_F(CheckTest, HoldingKeepsThePushedPictureUntilReleaseAwayFromTheBox)
{
    Check& check = add_shown();
    t.move(PictureX, PictureY);
    t.advance(10);
    EXPECT_EQ(shown(check), "MouseoverNoValue");

    t.press(PictureX, PictureY);
    EXPECT_EQ(shown(check), "PushedNoValue");
    EXPECT_EQ(check.stored_value(), 1);
    t.move(AwayX, AwayY);
    t.advance(50);
    EXPECT_EQ(shown(check), "PushedNoValue");

    t.release(AwayX, AwayY);
    EXPECT_EQ(events(), (std::vector<std::string> {"MouseDown", "Click"}));
    t.advance(10);
    EXPECT_EQ(shown(check), "IdleChecked");
}

TEST_F(CheckTest, CaptionPressActsLikeAPicturePressAndGreyedBecomesUnticked)
{
    Check& check = add_shown();
    check.Value(2);
    EXPECT_EQ(shown(check), "IdleGreyed");
    t.press(CaptionX, CaptionY);
    EXPECT_EQ(shown(check), "PushedGreyed");
    t.release(CaptionX, CaptionY);
    EXPECT_EQ(check.Value(), 0);
    EXPECT_EQ(events(), (std::vector<std::string> {"MouseDown", "Click"}));
}

TEST_F(CheckTest, ValueOutsideTheTableChangesNoPicture)
{
    Check& check = add_shown();
    check.Value(5);
    EXPECT_EQ(check.stored_value(), 5);
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.press(PictureX, PictureY);
    t.release(PictureX, PictureY);
    t.move(PictureX, PictureY);
    t.advance(10);
    EXPECT_EQ(events(), (std::vector<std::string> {"MouseDown", "Click"}));
    EXPECT_EQ(check.Value(), 5);
    EXPECT_EQ(shown(check), "IdleNoValue");
}

TEST_F(CheckTest, DisabledBoxShowsDisabledPicturesAndIgnoresTheMouse)
{
    Check& check = add_shown();
    check.Value(1);
    check.Enabled(false);
    EXPECT_EQ(shown(check), "CheckedDisabled");
    check.Value(2);
    EXPECT_EQ(shown(check), "DisabledGrey");
    EXPECT_FALSE(check.poll_timer().is_running());
    t.press(PictureX, PictureY);
    t.release(PictureX, PictureY);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(check.stored_value(), 2);

    check.Enabled(true);
    EXPECT_EQ(shown(check), "IdleGreyed");
    EXPECT_TRUE(check.poll_timer().is_running());
}

// [Keyboard]

TEST_F(CheckTest, FocusMarksTheCaptionAndSpaceToggles)
{
    Check& check = add_shown();
    t.host->set_focus(nullptr); // showing gave the only control the focus
    EXPECT_FALSE(check.caption_box().FocusMark());
    const gdi::Surface unfocused = *check.caption_box().surface();
    auto marked = [&] {
        const gdi::Surface& now = *check.caption_box().surface();
        int changed = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                changed += now.pixel(x, y) != unfocused.pixel(x, y);
        return changed;
    };
    check.SetFocus();
    EXPECT_TRUE(check.caption_box().FocusMark());
    EXPECT_GT(marked(), 20); // the dots around "ChkOld"
    t.host->set_focus(nullptr);
    EXPECT_EQ(marked(), 0);
    check.SetFocus();

    std::vector<int32_t> seen;
    t.form->on_event("ChkOld", "Click", [&](host::EventArgs) { seen.push_back(check.Value()); });
    t.input(host::InputEvent::Kind::KeyDown, 0, 0, 0, host::vbKeySpace);
    t.input(host::InputEvent::Kind::KeyDown, 0, 0, 0, host::vbKeySpace); // auto-repeat
    EXPECT_EQ(shown(check), "PushedNoValue");
    EXPECT_FALSE(check.poll_timer().is_running());
    t.input(host::InputEvent::Kind::KeyUp, 0, 0, 0, host::vbKeySpace);
    EXPECT_EQ(seen, (std::vector<int32_t> {1}));
    EXPECT_EQ(events(), (std::vector<std::string> {"Click"}));
    EXPECT_TRUE(check.poll_timer().is_running());

    // A key up without its key down (Space pressed elsewhere) does nothing.
    t.input(host::InputEvent::Kind::KeyUp, 0, 0, 0, host::vbKeySpace);
    EXPECT_EQ(seen.size(), 1u);

    check.Enabled(false);
    t.input(host::InputEvent::Kind::KeyDown, 0, 0, 0, host::vbKeySpace);
    t.input(host::InputEvent::Kind::KeyUp, 0, 0, 0, host::vbKeySpace);
    EXPECT_EQ(check.stored_value(), 1);
}

// [Poll]

// The picture covers the caption box's own square at every height, odd or even in pixels.
TEST_F(CheckTest, ScreenReadersHearEachValueAndItsAction)
{
    Check& check = add_shown();
    check.Caption("Fish & Chips");
    auto line = [&] { return host::accessible_line(*t.host->accessible_node(check.hWnd())); };
    EXPECT_EQ(line(), "check box \"Fish & Chips\" [focused,focusable] action=\"Check\"");
    check.Value(2);
    // Greyed is neither ticked nor unticked, and Space unticks it.
    EXPECT_EQ(line(), "check box \"Fish & Chips\" [focused,focusable,mixed] action=\"Uncheck\"");
    check.Value(7);
    EXPECT_EQ(line(), "check box \"Fish & Chips\" [focused,focusable]") << "no picture, no action";
    check.Value(1);
    check.Enabled(false);
    // Its own Enabled: the window keeps the focus, but the reader hears the box is unavailable.
    EXPECT_EQ(line(), "check box \"Fish & Chips\" [focused,unavailable,checked] action=\"Uncheck\"");
}

TEST_F(CheckTest, OwnSquareNeverShowsBesideThePicture)
{
    for (int height = 210; height <= 600; height += 15) {
        SCOPED_TRACE(height);
        Check& check = add_check(nullptr, "Chk" + std::to_string(height));
        check.Move(0, 0, 1095, float(height));
        t.show();
        t.host->present_pending();
        const gdi::Surface& frame = t.host->frame();
        const gdi::Rect picture = check.picture_box().client_rect();
        const gdi::Rect box = check.client_rect();
        // The square would show in the rows just above and below the picture, left of its right edge.
        for (int y : {picture.top - 1, picture.bottom}) {
            if (y < box.top || y >= box.bottom)
                continue;
            for (int x = 0; x < picture.right; ++x)
                ASSERT_EQ(frame.pixel(x, y), 0x00FFFFFFu) << x << ", " << y;
        }
        check.Visible(false);
    }
}

TEST_F(CheckTest, PollShowsMouseOverWhileThePointerIsOverAndPresentsNothingUnchanged)
{
    Check& check = add_shown();
    t.move(CaptionX, CaptionY);
    EXPECT_EQ(shown(check), "IdleNoValue"); // until the next tick
    t.advance(10);
    EXPECT_EQ(shown(check), "MouseoverNoValue");

    EXPECT_EQ(check.Value(), 0); // reading shows the resting picture...
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.advance(10); // ...for at most one poll interval
    EXPECT_EQ(shown(check), "MouseoverNoValue");

    t.move(AwayX, AwayY);
    t.advance(10);
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.host->present_pending();
    const int presented = t.host->presented_frame_count();
    for (int i = 0; i < 5; ++i)
        t.advance(10);
    EXPECT_FALSE(t.host->present_pending());
    EXPECT_EQ(t.host->presented_frame_count(), presented);
}

TEST_F(CheckTest, WindowOverTheBoxCountsAsOutside)
{
    Check& check = add_shown();
    t.move(PictureX, PictureY);
    t.advance(10);
    EXPECT_EQ(shown(check), "MouseoverNoValue");
    t.backend->set_window_under_pointer(host::WindowUnderPointer::Other); // a message box over the box
    t.advance(10);
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.backend->set_window_under_pointer(host::WindowUnderPointer::None);
    t.advance(10);
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.backend->set_window_under_pointer(host::WindowUnderPointer::Form);
    t.advance(10);
    EXPECT_EQ(shown(check), "MouseoverNoValue");
}

class CheckDesignTest : public CheckTest {
protected:
    CheckDesignTest()
        : CheckTest(true)
    { }
};

TEST_F(CheckDesignTest, NeverPollsAtDesignTime)
{
    Check& check = add_shown();
    check.Enabled(true);
    EXPECT_FALSE(check.poll_timer().is_running());
    t.move(PictureX, PictureY);
    t.advance(100);
    EXPECT_EQ(shown(check), "IdleNoValue");
}

TEST_F(CheckDesignTest, PressChangesNothingAtDesignTime)
{
    Check& check = add_shown();
    t.press(PictureX, PictureY);
    EXPECT_EQ(shown(check), "IdleNoValue");
    t.release(PictureX, PictureY);
    t.press(CaptionX, CaptionY);
    t.release(CaptionX, CaptionY);
    t.press(CaptionX, CaptionY);
    t.release(CaptionX, CaptionY);
    EXPECT_EQ(shown(check), "IdleNoValue");
    EXPECT_EQ(check.stored_value(), 0);
    EXPECT_TRUE(events().empty());
    EXPECT_TRUE(check.changed_properties().empty()
        || check.changed_properties() == std::vector<std::string> {"Caption"});
}

} // namespace
} // namespace sorrel::controls
