// The three pages against golden images that a person has looked at (tests/data/app/*.png).
// Set SORREL_UPDATE_GOLDEN=1 to write them anew after a deliberate change, and look at them again.

#include "AppFixture.h"
#include "platform/host/StdPicture.h"

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
        ASSERT_FALSE(golden.is_error()) << golden.error();
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
