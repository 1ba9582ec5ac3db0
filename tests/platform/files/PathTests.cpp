#include "platform/files/DriveMap.h"
#include "platform/files/WindowsPath.h"

#include <gtest/gtest.h>

using namespace sorrel::files;

namespace {

// An absolute folder on this system: "/srv" here is "C:/srv" on Windows.
#ifdef _WIN32
std::string const top = "C:";
#else
std::string const top;
#endif

} // namespace

TEST(DriveMap, ParsesArgumentsAndKeepsLetterOrder)
{
    auto map
        = DriveMap::from_arguments({"E:=" + top + "/srv/e", "c:=" + top + "/srv/c/", "d:=" + top + "/srv/d"});
    ASSERT_FALSE(map.is_error()) << map.error().message;
    EXPECT_EQ(map.value().drive_names(), (std::vector<std::string> {"c:", "d:", "e:"}));
    ASSERT_NE(map.value().folder('E'), nullptr);
    EXPECT_EQ(*map.value().folder('e'), top + "/srv/e");
    EXPECT_EQ(map.value().folder('f'), nullptr);

    for (char const* bad : {"c:/srv", "cc:=/srv", "1:=/srv", "c:=relative", "c=/srv", ""})
        EXPECT_TRUE(parse_drive_argument(bad).is_error()) << bad;
    EXPECT_TRUE(DriveMap::from_arguments({"c:=" + top + "/a", "C:=" + top + "/b"}).is_error());
}

TEST(WindowsPath, SplitsOnEitherSeparatorAndAppliesDots)
{
    auto path = WindowsPath::parse("C:\\Program Files\\\\x\\..\\.\\Messenger\\");
    ASSERT_FALSE(path.is_error());
    EXPECT_EQ(path.value().drive, 'c');
    EXPECT_EQ(path.value().components, (std::vector<std::string> {"Program Files", "Messenger"}));

    auto above_root = WindowsPath::parse("c:\\..\\..\\a/b");
    ASSERT_FALSE(above_root.is_error());
    EXPECT_EQ(above_root.value().components, (std::vector<std::string> {"a", "b"}));

    EXPECT_TRUE(WindowsPath::parse("c:").value().components.empty());
    for (char const* bad : {"", "c", "\\\\server\\share", "c:relative", "1:\\x", "\\Program Files"})
        EXPECT_TRUE(WindowsPath::parse(bad).is_error()) << bad;
}
