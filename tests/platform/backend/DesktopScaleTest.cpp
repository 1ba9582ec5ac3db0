// The window's scale from the desktop's settings.

#include "platform/backend/sdl/DesktopScale.h"

#include <gtest/gtest.h>

using namespace sorrel::backend;

TEST(DesktopScale, TheFirstSettingGivenWinsRoundedToAWholeStep)
{
    DesktopScaleSettings settings;
    EXPECT_EQ(scale_from_desktop(settings), 1);
    settings.display_dpi = 150;
    EXPECT_EQ(scale_from_desktop(settings), 2);
    settings.xft_dpi = 288;
    EXPECT_EQ(scale_from_desktop(settings), 3);
    settings.qt_scale_factor = "1.5";
    EXPECT_EQ(scale_from_desktop(settings), 2);
    settings.gdk_scale = "1";
    EXPECT_EQ(scale_from_desktop(settings), 1);

    // Out of range is held to 1 to 4; a value that is no number is passed over.
    EXPECT_EQ(scale_from_desktop({.gdk_scale = "9"}), 4);
    EXPECT_EQ(scale_from_desktop({.qt_scale_factor = "0.3"}), 1);
    EXPECT_EQ(scale_from_desktop({.gdk_scale = "2x", .qt_scale_factor = "3"}), 3);
    EXPECT_EQ(scale_from_desktop({.gdk_scale = "1.5", .xft_dpi = 192}), 2);
    EXPECT_EQ(scale_from_desktop({.qt_scale_factor = "nan", .display_dpi = 96}), 1);
}

TEST(DesktopScale, XftDpiIsReadFromTheResourceText)
{
    EXPECT_EQ(xft_dpi_from_resources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
    EXPECT_EQ(xft_dpi_from_resources("Xft.dpi: 144.5"), 144.5);
    EXPECT_EQ(xft_dpi_from_resources("Xcursor.size:\t24\n"), std::nullopt);
    EXPECT_EQ(xft_dpi_from_resources("Xft.dpi:\tlarge\n"), std::nullopt);
    EXPECT_EQ(xft_dpi_from_resources(""), std::nullopt);
}
