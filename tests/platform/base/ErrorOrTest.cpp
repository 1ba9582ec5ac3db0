#include "platform/base/ErrorOr.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

using sorrel::base::Error;
using sorrel::base::ErrorOr;

TEST(ErrorOr, HoldsAMoveOnlyValueOrAReasonWithTheSystemsCode)
{
    ErrorOr<std::unique_ptr<int>> made = std::make_unique<int>(7);
    ASSERT_TRUE(made);
    std::unique_ptr<int> taken = made.release_value();
    EXPECT_EQ(*taken, 7);
    // Asking a success for its reason gives a blank one rather than a crash.
    EXPECT_EQ(made.error().message, "");
    EXPECT_EQ(made.error().code, 0);

    ErrorOr<std::unique_ptr<int>> failed = Error::from_errno("c:\\data.bin", ENOENT);
    ASSERT_TRUE(failed.is_error());
    EXPECT_EQ(failed.error().message, "c:\\data.bin: No such file or directory");
    EXPECT_EQ(failed.error().code, ENOENT);
}

TEST(ErrorOr, NothingToReturnIsASuccessUntilGivenAReason)
{
    ErrorOr<void> done;
    EXPECT_TRUE(done);
    EXPECT_EQ(done.error().message, "");
    ErrorOr<void> refused = Error {"banner.png: not a PNG file"};
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error().message, "banner.png: not a PNG file");
    EXPECT_EQ(refused.error().code, 0);
}
