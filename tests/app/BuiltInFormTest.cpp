// The design built into the program is the one in the source tree, pictures and all.
#include "AppFixture.h"
#include "app/Session.h"
#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

using namespace sorrel;

namespace {

struct Opened {
    gdi::Surface frame;
    gdi::Surface icon;
    std::string caption;
};

Opened open_window(const std::string& form_path)
{
    auto session = app::Session::open(backend::HeadlessBackend::create(), form_path);
    EXPECT_FALSE(session.is_error()) << session.error().message;
    if (session.is_error())
        return {};
    app::Session& s = *session.value();
    s.host().present_pending();
    return {
        s.host().frame(), s.form().Icon() ? s.form().Icon()->pixels() : gdi::Surface(), s.form().Caption()};
}

} // namespace

TEST(BuiltInForm, OpensTheSameWindowAsTheFormFile)
{
    Opened from_file = open_window(app::testing::design_file());
    Opened built_in = open_window("");
    EXPECT_EQ(built_in.caption, from_file.caption);
    ASSERT_FALSE(built_in.frame.is_empty());
    ASSERT_EQ(built_in.frame.width(), from_file.frame.width());
    ASSERT_EQ(built_in.frame.height(), from_file.frame.height());
    int differing = 0;
    for (int y = 0; y < built_in.frame.height(); ++y)
        for (int x = 0; x < built_in.frame.width(); ++x)
            differing += built_in.frame.pixel(x, y) != from_file.frame.pixel(x, y);
    EXPECT_EQ(differing, 0);
    ASSERT_EQ(built_in.icon.width(), 32);
    EXPECT_EQ(built_in.icon.pixel(13, 13), from_file.icon.pixel(13, 13));
}
