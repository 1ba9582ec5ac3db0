#include "app/Options.h"
#include "AppFixture.h"
#include "app/DemoDrives.h"
#include "app/Session.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/files/FileSystemObject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

using namespace sorrel;

namespace {

sorrel::base::ErrorOr<app::Options> parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "sorrel");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    return app::Options::parse(int(argv.size()), argv.data());
}

} // namespace

TEST(Options, DrivesDemoHeadlessAndScreenshotAreRead)
{
    auto p = parse({"--drive", "c:=/tmp/c", "--drive=D:=/tmp/d", "--headless", "--script", "run.script"});
    ASSERT_EQ(p.error().message, "");
    EXPECT_EQ(p.value().drives, (std::vector<std::string> {"c:=/tmp/c", "D:=/tmp/d"}));
    EXPECT_TRUE(p.value().headless);
    EXPECT_EQ(p.value().script, "run.script");

    p = parse({"--demo", "--screenshot=start.png"});
    ASSERT_EQ(p.error().message, "");
    EXPECT_TRUE(p.value().demo);
    EXPECT_EQ(p.value().screenshot, "start.png");
    EXPECT_EQ(parse({"--scale", "3"}).value().scale, 3);
    EXPECT_EQ(parse({"--scale=1"}).value().scale, 1);
    EXPECT_EQ(parse({}).value().scale, 0);
    EXPECT_EQ(parse({"--screenshot", "START.PNG"}).error().message, "");
    EXPECT_EQ(parse({"--screenshot", "start.Png"}).error().message, "");
    EXPECT_TRUE(parse({"--version"}).value().version);
    EXPECT_TRUE(parse({"--help"}).value().help);
}

TEST(Options, BadCombinationsAreRefusedInOneLine)
{
    for (auto args : std::vector<std::vector<std::string>> {
             {"--frobnicate"},
             {"--drive"},
             {"--script", "a.script"},
             {"--headless"},
             {"--demo", "--drive", "c:=/tmp"},
             {"--screenshot", "start.bmp"},
             {"--screenshot"},
             {"--headless", "--script", "a", "--screenshot", "b.png"},
             {"--drive", "--headless", "--script", "a"},
             {"--scale", "0"},
             {"--scale", "5"},
             {"--scale", "2x"},
             {"--scale"},
             {"--headless", "--script", "--drive", "c:=/tmp"},
         }) {
        auto p = parse(args);
        EXPECT_FALSE(p.error().message.empty()) << args[0];
        EXPECT_EQ(p.error().message.find('\n'), std::string::npos);
    }
}

TEST(Options, HelpFitsATerminalAndVersionNamesTheLicence)
{
    std::istringstream help(app::usage_text());
    std::string line, last;
    while (std::getline(help, line)) {
        EXPECT_LE(line.size(), 79u) << line;
        last = line;
    }
    EXPECT_NE(app::usage_text().find("  -h, --help "), std::string::npos);
    EXPECT_EQ(last.rfind("Report bugs", 0), 0u) << last;
    EXPECT_NE(last.find("README"), std::string::npos) << last;

    EXPECT_EQ(app::version_text("1.2.3"),
        "sorrel 1.2.3\n"
        "Copyright (C) 2026 the Sorrel developers.\n"
        "License MIT: <https://opensource.org/licenses/MIT>.\n"
        "This is free software: you are free to change and redistribute it.\n"
        "There is NO WARRANTY, to the extent permitted by law.\n");
}

TEST(Demo, TheDrivesHoldBothMessengersAndGoAway)
{
    std::filesystem::path root;
    {
        auto demo = app::DemoDrives::create();
        ASSERT_FALSE(demo.is_error()) << demo.error().message;
        root = demo.value()->root();
        files::FileSystemObject fso(demo.value()->drives());
        auto older = fso.GetFileVersion("c:\\Program Files\\Messenger\\msmsgs.exe");
        auto newer = fso.GetFileVersion("d:\\Program Files\\MSN Messenger\\msnmsgr.exe");
        ASSERT_FALSE(older.is_error());
        ASSERT_FALSE(newer.is_error());
        EXPECT_EQ(older.value(), "4.7.3001.0");
        EXPECT_EQ(newer.value(), "7.0.816.0");
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

// A demo killed from outside leaves its folder; the next one removes it, and only such folders.
TEST(Demo, FoldersOfKilledDemosGoAtTheNextDemoAndNothingElseDoes)
{
    namespace fs = std::filesystem;
    fs::path temp = fs::temp_directory_path();
    std::string marker;
    {
        auto running = app::DemoDrives::create();
        ASSERT_FALSE(running.is_error()) << running.error().message;
        std::ifstream in(running.value()->root() / app::DemoDrives::MarkerName);
        std::getline(in, marker, '\0');
    }
    // The marker names this very process: the same id, started at another time is another process.
    auto other_start = marker.substr(0, marker.rfind('\n', marker.size() - 2) + 1) + "1\n";
    auto make = [&](const char* name, std::optional<std::string> text) {
        fs::create_directories(temp / name / "c" / "Program Files");
        std::ofstream(temp / name / "c" / "Program Files" / "readme.txt") << "x";
        if (text)
            std::ofstream(temp / name / app::DemoDrives::MarkerName) << *text;
        return temp / name;
    };
    fs::path killed = make("sorrel-demo-test-killed", other_start);
    fs::path running = make("sorrel-demo-test-running", marker);
    fs::path unmarked = make("sorrel-demo-test-unmarked", std::nullopt);
    fs::path foreign = make("sorrel-demo-test-foreign", "not a demo\n1\n1\n");

    ASSERT_FALSE(app::DemoDrives::create().is_error());
    EXPECT_FALSE(fs::exists(killed));
    for (const fs::path& kept : {running, unmarked, foreign}) {
        EXPECT_TRUE(fs::exists(kept / "c" / "Program Files" / "readme.txt")) << kept;
        fs::remove_all(kept);
    }
}

TEST(Window, AFormFileWithoutADesignedControlIsRefusedByName)
{
    std::ifstream in(app::testing::design_file());
    std::stringstream text;
    text << in.rdbuf();
    std::string design = text.str();
    // Rename ChkNew so the window's code can't find it.
    auto at = design.find("name: ChkNew");
    ASSERT_NE(at, std::string::npos);
    design.replace(at, 12, "name: ChkOther");
    namespace fs = std::filesystem;
    auto folder = fs::temp_directory_path() / "sorrel-form-test";
    fs::create_directories(folder);
    fs::copy(fs::path(app::testing::design_file()).parent_path() / "artwork", folder / "artwork",
        fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::ofstream(folder / "FrmSorrel.yaml") << design;
    auto session
        = app::Session::open(backend::HeadlessBackend::create(), (folder / "FrmSorrel.yaml").string());
    fs::remove_all(folder);
    ASSERT_TRUE(session.is_error());
    EXPECT_NE(session.error().message.find("ChkNew"), std::string::npos) << session.error().message;

    auto missing = app::Session::open(backend::HeadlessBackend::create(), "/nonexistent/FrmSorrel.yaml");
    EXPECT_TRUE(missing.is_error());
}

TEST(Window, OpeningPresentsOneFrame)
{
    // The buttons' outlines are handed over while the window is being shown; each used to
    // compose and present the whole window.
    auto session = app::Session::open(backend::HeadlessBackend::create());
    ASSERT_FALSE(session.is_error()) << session.error().message;
    EXPECT_EQ(session.value()->host().presented_frame_count(), 1);
}
