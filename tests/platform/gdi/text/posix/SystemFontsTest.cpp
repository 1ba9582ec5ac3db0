#include "platform/gdi/text/FaceName.h"
#include "platform/gdi/text/FontResolver.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace sorrel::gdi;

TEST(FontResolution, WithoutLiberationTheClosestFaceOfTheSameKindDrawsWithOneWarning)
{
    const std::filesystem::path dejavu = "/usr/share/fonts/truetype/dejavu";
    if (!std::filesystem::exists(dejavu / "DejaVuSerif.ttf"))
        GTEST_SKIP() << "needs the DejaVu fonts (Debian package fonts-dejavu-core)";
    // The system's font configuration, with only the DejaVu faces installed.
    auto folder = std::filesystem::temp_directory_path() / ("sorrel-fonts-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "fonts.conf")
        << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dejavu.string() << "</dir><cachedir>"
        << (folder / "cache").string()
        << "</cachedir><include ignore_missing=\"yes\">/etc/fonts/conf.d</include></fontconfig>\n";
    const char* previous = std::getenv("FONTCONFIG_FILE");
    std::string saved = previous ? previous : "";
    ::setenv("FONTCONFIG_FILE", (folder / "fonts.conf").c_str(), 1);
    FontResolver resolver;
    if (previous)
        ::setenv("FONTCONFIG_FILE", saved.c_str(), 1);
    else
        ::unsetenv("FONTCONFIG_FILE");

    ::testing::internal::CaptureStderr();
    auto serif = resolver.candidates(FaceName::parse("Times New Roman"));
    auto sans = resolver.candidates(FaceName::parse("MS Sans Serif Bold"));
    auto mono = resolver.candidates(FaceName::parse("Courier New"));
    std::string said = ::testing::internal::GetCapturedStderr();
    std::filesystem::remove_all(folder);

    ASSERT_FALSE(serif.empty());
    ASSERT_FALSE(sans.empty());
    ASSERT_FALSE(mono.empty());
    EXPECT_EQ(std::filesystem::path(serif[0].path).filename(), "DejaVuSerif.ttf");
    EXPECT_EQ(std::filesystem::path(sans[0].path).filename(), "DejaVuSans-Bold.ttf");
    EXPECT_EQ(std::filesystem::path(mono[0].path).filename(), "DejaVuSansMono.ttf");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("fonts-liberation2"), std::string::npos) << said;
}

TEST(FontResolution, KnownFilesBackUpTheFontConfiguration)
{
    FontResolver resolver;
    auto files = resolver.candidates(FaceName::parse("Times New Roman Bold"));
    auto has = [&](const std::string& path) {
        return std::count_if(files.begin(), files.end(), [&](const FontFile& f) { return f.path == path; });
    };
    EXPECT_EQ(files.front().path, "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf");
    EXPECT_EQ(has("/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf"), 1);
    EXPECT_EQ(has("/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"), 1);

    auto unknown = resolver.candidates(FaceName::parse("Wingdings"));
    ASSERT_FALSE(unknown.empty());
    EXPECT_NE(unknown.front().path.find("LiberationSans-Regular"), std::string::npos);
}
