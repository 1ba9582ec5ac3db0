// Golden images: every face in four looks, compared pixel for pixel with pictures a person has
// checked. Run with SORREL_UPDATE_GOLDEN=1 to write new pictures after a deliberate change (and
// look at every one before committing it).

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

enum class Look {
    Up,
    Pressed,
    Disabled,
    OptionSet,
};

const char* look_name(Look look)
{
    switch (look) {
    case Look::Up:
        return "up";
    case Look::Pressed:
        return "pressed";
    case Look::Disabled:
        return "disabled";
    case Look::OptionSet:
        return "option-set";
    }
    return "";
}

gdi::Surface render(int type, Look look)
{
    ButtonHost h(true);
    auto& other = h.add("Other", 300, 250, 40, 20);
    auto& b = h.add("Cmd", 10, 10, 100, 30);
    h.show();
    other.SetFocus();
    b.ButtonType(type);
    b.Caption("Go &on");
    b.Font(host::StdFont::create("Liberation Sans", 8));
    h.form->set_design_mode(false);
    switch (look) {
    case Look::Up:
        break;
    case Look::Pressed:
        QuillButtonTestAccess(b).set_state(2);
        break;
    case Look::Disabled:
        b.Enabled(false);
        break;
    case Look::OptionSet:
        b.OptionButton(true);
        b.Value(true);
        break;
    }
    b.RefreshButton();
    gdi::Surface out(100, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            out.set_pixel(x, y, gdi::with_alpha(b.canvas().pixels().pixel(x, y), 0xFF));
    return out;
}

} // namespace

TEST(ButtonGolden, EveryFaceInFourLooks)
{
    gdi::reset_sys_colors();
    gdi::reset_version_info();
    const bool update = std::getenv("SORREL_UPDATE_GOLDEN") != nullptr;
    for (int type = 1; type <= 8; ++type)
        for (Look look : {Look::Up, Look::Pressed, Look::Disabled, Look::OptionSet}) {
            std::string name = "type" + std::to_string(type) + "-" + look_name(look) + ".png";
            std::string path = std::string(SORREL_BUTTON_GOLDEN) + "/" + name;
            gdi::Surface actual = render(type, look);
            if (update) {
                ASSERT_FALSE(host::save_png(actual, path).is_error()) << path;
                continue;
            }
            auto expected = host::LoadPicture(path);
            ASSERT_FALSE(expected.is_error()) << expected.error().message;
            const gdi::Surface& want = expected.value()->pixels();
            ASSERT_EQ(want.width(), actual.width()) << name;
            ASSERT_EQ(want.height(), actual.height()) << name;
            int differ = 0;
            for (int y = 0; y < want.height(); ++y)
                for (int x = 0; x < want.width(); ++x)
                    differ += gdi::without_alpha(want.pixel(x, y)) != gdi::without_alpha(actual.pixel(x, y));
            if (differ) {
                std::string out = ::testing::TempDir() + name;
                (void)host::save_png(actual, out);
                ADD_FAILURE() << name << ": " << differ << " pixels differ; this run's picture is " << out;
            }
        }
}
