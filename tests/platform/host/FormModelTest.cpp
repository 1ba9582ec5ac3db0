#include "HostTestSupport.h"

#include "platform/host/CheckBox.h"
#include "platform/host/Frame.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;
using Log = std::vector<std::string>;

namespace {
struct Model : HostFixture, ::testing::Test { };
} // namespace

TEST_F(Model, ControlsAreFoundByPositionNameAndArrayIndex)
{
    auto& frame = form->add<Frame>("Frame1", nullptr, 0);
    auto& frame_b = form->add<Frame>("Frame1", nullptr, 1);
    auto& a = add("Option", 0, 0, 10, 10, &frame);
    auto& b = form->add<RecordingControl>("Option", &frame_b, 2);
    auto controls = form->Controls();
    EXPECT_EQ(controls.Count(), 4);
    EXPECT_EQ(controls.Item(0), &frame);
    EXPECT_EQ(controls.Item(4), nullptr);
    EXPECT_EQ(controls.Item(-1), nullptr);
    EXPECT_EQ(controls.Item("option"), &a);
    EXPECT_EQ(controls.Item("Option", 2), &b);
    EXPECT_EQ(controls.Item("Nothing"), nullptr);
    EXPECT_EQ(form->find("Frame1(1)"), &frame_b);
    EXPECT_EQ(form->find("Option(2)"), &b);
    for (const char* bad : {"Option(", "Option()", "Option(x)", "Option(99999999)", "(2)", "Option(3)"})
        EXPECT_EQ(form->find(bad), nullptr) << bad;
    EXPECT_EQ(b.DisplayName(), "Option(2)");
    EXPECT_EQ(b.Container(), &frame_b);
    EXPECT_EQ(b.Parent(), form.get());
    EXPECT_EQ(a.ParentControls(), 5);
}

TEST_F(Model, PositionsAreTwipsFromTheContainerAndFollowTheHostRatio)
{
    auto& frame = form->add<Frame>("Frame1");
    frame.Move(300, 600, 3000, 1500);
    auto& c = add("C", 2, 3, 40, 20, &frame);
    EXPECT_EQ(c.pixel_rect(), gdi::Rect::from_size(2, 3, 40, 20));
    EXPECT_EQ(c.client_rect(), gdi::Rect::from_size(22, 43, 40, 20));
    // Exact halves of a twip position are kept (the check box centres its parts this way).
    c.Top(255.0f / 2 - 195.0f / 2);
    EXPECT_FLOAT_EQ(c.Top(), 30);
    host->set_twips_per_pixel(12, 12);
    EXPECT_EQ(c.pixel_rect(), gdi::Rect::from_size(3, 3, 50, 25));
    host->set_twips_per_pixel(15, 15);
}

TEST_F(Model, ResizeReachesALoadedControlOnlyWhenTheSizeChanges)
{
    auto& c = form->add<RecordingControl>("C");
    c.Move(0, 0, 300, 300); // before loading: no notice
    form->load_control(c, nullptr);
    c.log.clear();
    c.Move(15, 15, 300, 300); // a move alone
    c.Width(450);
    c.Height(450);
    EXPECT_EQ(c.log, (Log {"Resize", "Resize"}));
    EXPECT_FLOAT_EQ(c.ScaleWidth(), 30);
    c.Move(0, 0, -5, 10); // a negative size is taken as none
    EXPECT_EQ(c.Width(), 0);
}

TEST_F(Model, TheSurfaceKeepsWhatFitsWhenTheControlGrows)
{
    auto& c = add("C", 0, 0, 10, 10);
    c.BackColor(0x00FFFFFF);
    c.canvas().pixels().set_pixel(5, 5, 0x000000FF);
    c.Width(20 * 15);
    EXPECT_EQ(c.canvas().pixels().pixel(5, 5), 0x000000FFu);
    EXPECT_EQ(c.canvas().pixels().pixel(15, 5), 0x00FFFFFFu);
    c.BackColor(0x00123456); // a new background clears, as in the Basic runtime
    EXPECT_EQ(c.canvas().pixels().pixel(5, 5), 0x00123456u);
}

TEST_F(Model, AmbientPropertiesComeFromTheFormAndChangesAreAnnounced)
{
    auto& c = add("C", 0, 0, 10, 10);
    form->Font()->Bold(true);
    form->BackColor(0x00ABCDEF);
    form->ForeColor(0x00000080);
    auto font = StdFont::create("Arial", 10);
    form->Font(font);
    EXPECT_EQ(c.log,
        (Log {"Initialize", "InitProperties", "AmbientChanged Font", "AmbientChanged BackColor",
            "AmbientChanged ForeColor", "AmbientChanged Font"}));
    auto ambient = c.Ambient();
    EXPECT_TRUE(ambient.UserMode);
    EXPECT_EQ(ambient.Font, font); // the form's own object, not a copy
    EXPECT_EQ(ambient.BackColor, 0x00ABCDEFu);
    EXPECT_EQ(gdi::GetBkColor(form->hDC()), 0x00ABCDEFu);
    EXPECT_EQ(gdi::GetTextColor(form->hDC()), 0x00000080u);
}

TEST_F(Model, HidingTheFocusedControlOrItsContainerTakesTheFocusAway)
{
    auto& frame = form->add<Frame>("Frame1");
    frame.Move(0, 0, 3000, 3000);
    auto& a = add("A", 0, 0, 10, 10, &frame);
    host->show(*form);
    EXPECT_EQ(host->focused(), &a);
    frame.Visible(false);
    EXPECT_EQ(host->focused(), nullptr);
    EXPECT_EQ(a.log.back(), "ExitFocus");
    frame.Visible(true);
    a.SetFocus();
    a.Enabled(false);
    EXPECT_EQ(host->focused(), nullptr);
}

TEST_F(Model, TheFormUnloadsItsControlsLastFirstAndOnlyOnce)
{
    std::vector<std::string> order;
    struct Noting : RecordingControl {
        std::vector<std::string>* order {nullptr};
        void UserControl_Terminate() override { order->push_back(Name()); }
    };
    for (const char* name : {"A", "B", "C"}) {
        auto& c = form->add<Noting>(name);
        c.order = &order;
        form->load_control(c, nullptr);
    }
    form->unload();
    form->unload();
    EXPECT_EQ(order, (std::vector<std::string> {"C", "B", "A"}));
}

TEST_F(Model, EventRecordersFilterBySource)
{
    EventRecorder recorder;
    host->set_event_recorder(&recorder);
    auto& a = add("A", 0, 0, 10, 10);
    auto& b = add("B", 20, 0, 10, 10);
    std::string text = "x";
    a.RaiseEvent("Changed", {&text});
    b.RaiseEvent("Click");
    a.RaiseEvent("Click");
    EXPECT_EQ(recorder.names("a"), (std::vector<std::string> {"Changed", "Click"}));
    EXPECT_EQ(recorder.lines("A").front(), "A.Changed(\"x\")");
    EXPECT_EQ(recorder.names().size(), 3u);
    host->set_event_recorder(nullptr);
}

TEST_F(Model, ControlsGoingAwayLeaveNoDanglingFocusCaptureOrTimers)
{
    auto& uc = add("UC", 10, 10, 50, 50);
    host->show(*form);
    int ticks = 0;
    {
        auto timer = std::make_unique<Timer>(uc, "T", 10, true);
        timer->on_tick = [&] { ++ticks; };
        headless->advance(10);
    }
    headless->advance(100);
    EXPECT_EQ(ticks, 1);
    headless->press(uc);
    size_t live = gdi::live_object_count();
    form.reset(); // the form and its controls go while the mouse is held
    EXPECT_EQ(host->capture(), nullptr);
    EXPECT_EQ(host->focused(), nullptr);
    EXPECT_EQ(host->form(), nullptr);
    headless->mouse_up(1);
    EXPECT_LT(gdi::live_object_count(), live);
}
