// The three pages against golden images that a person has looked at (tests/data/app/*.png).
// Set SORREL_UPDATE_GOLDEN=1 to write them anew after a deliberate change, and look at them again.

#include "AppFixture.h"
#include "platform/host/StdPicture.h"

#include <algorithm>

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {

struct Pages : AppFixture {
    void expect_golden(const std::string& name)
    {
        std::string path = std::string(SORREL_TEST_DATA) + "/app/" + name + ".png";
        const gdi::Surface& shot = headless->screen();
        if (std::getenv("SORREL_UPDATE_GOLDEN")) {
            ASSERT_FALSE(host::save_png(shot, path).is_error());
            return;
        }
        auto golden = host::LoadPicture(path);
        ASSERT_FALSE(golden.is_error()) << golden.error().message;
        const gdi::Surface& expected = golden.value()->pixels();
        ASSERT_EQ(expected.width(), shot.width());
        ASSERT_EQ(expected.height(), shot.height());
        long differing = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                differing += gdi::without_alpha(expected.pixel(x, y)) != gdi::without_alpha(shot.pixel(x, y));
        }
        if (differing)
            (void)host::save_png(shot, name + "-actual.png");
        EXPECT_EQ(differing, 0) << name << ": see " << name << "-actual.png in the test's folder";
    }
};

} // namespace

TEST_F(Pages, StartResultsAndRemovePagesMatchTheirGoldenImages)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    expect_golden("start");
    scan();
    expect_golden("results");
    ASSERT_TRUE(headless->click(w->CmdRemove));
    headless->advance(300);
    expect_golden("remove");
}

// The keyboard alone gets through the window: each page starts with the focus on its first
// enabled button, and the hidden working field is never a tab stop.
TEST_F(Pages, EachPageGivesItsFirstEnabledButtonTheFocus)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    EXPECT_EQ(host().focused(), &w->CmdSCan);
    auto order = host().tab_order();
    EXPECT_EQ(std::find(order.begin(), order.end(), &w->Text8), order.end());

    headless->key(host::vbKeySpace);
    headless->advance(1500);
    ASSERT_TRUE(w->Frame3.Visible());
    EXPECT_EQ(host().focused(), &w->CmdRemove);

    headless->key(host::vbKeySpace);
    ASSERT_TRUE(w->Frame1.Visible());
    EXPECT_EQ(host().focused(), &w->CmdUnistall);
    order = host().tab_order();
    EXPECT_EQ(std::find(order.begin(), order.end(), &w->Text8), order.end());
    // The greyed box of the newer version is passed by; the older one's takes Space.
    EXPECT_EQ(std::find(order.begin(), order.end(), &w->ChkNew), order.end());
    EXPECT_NE(std::find(order.begin(), order.end(), &w->ChkOld), order.end());
}

TEST_F(Pages, TheOneVersionVerdictGivesExitTheFocus)
{
    newer_messenger('c');
    open();
    scan();
    EXPECT_EQ(host().focused(), &w->CmdExit);
    headless->key(host::vbKeySpace);
    EXPECT_TRUE(host().has_ended());
}

namespace {
// The pixels of a control's window as the screen shows them.
std::vector<uint32_t> shown_pixels(const gdi::Surface& screen, const host::Control& control)
{
    gdi::Point origin = control.client_origin();
    gdi::Rect r = control.pixel_rect();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x)
            pixels.push_back(gdi::without_alpha(screen.pixel(origin.x + x, origin.y + y)));
    }
    return pixels;
}
} // namespace

// "Begin Scan" disables itself under the pointer; after scan, remove and No it must not keep the
// pointer-over look once the pointer is elsewhere.
TEST_F(Pages, BeginScanLosesItsPointerOverLookAfterARemoval)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    scan_and_open_remove_page();
    headless->queue_answer(host::vbYes);
    headless->queue_answer(host::vbNo);
    click_unistall();
    ASSERT_TRUE(w->Frame2.Visible());
    ASSERT_TRUE(w->CmdSCan.Enabled());

    // The pointer goes to the welcome text; the look now is the one a pass over the button
    // and away leaves behind.
    auto away = headless->point_in(w->Text1);
    ASSERT_TRUE(away);
    headless->mouse_move(away->x, away->y);
    headless->advance(200);
    auto after_removal = shown_pixels(headless->screen(), w->CmdSCan);
    ASSERT_TRUE(headless->move_to(w->CmdSCan));
    auto pointer_over = shown_pixels(headless->screen(), w->CmdSCan);
    headless->mouse_move(away->x, away->y);
    headless->advance(200);
    EXPECT_NE(pointer_over, shown_pixels(headless->screen(), w->CmdSCan));
    EXPECT_EQ(after_removal, shown_pixels(headless->screen(), w->CmdSCan));
}
