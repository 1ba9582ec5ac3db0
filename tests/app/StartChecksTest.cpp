#include "app/StartChecks.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

using namespace sorrel;
namespace fs = std::filesystem;

namespace {

class StartChecks : public ::testing::Test {
protected:
    app::DriveChoice choose(const std::vector<std::string>& arguments, const std::string& mounts = "")
    {
        files::DiscoveryInput input;
        input.home = root / "home";
        input.mounts = mounts;
        return app::choose_drives(arguments, input, files::FileSystemProbe::real());
    }
    files::test::TempFolder temp;
    const fs::path& root = temp.path();
};

} // namespace

TEST_F(StartChecks, DriveFoldersMustExistBeFoldersAndBeReadable)
{
    std::ofstream(root / "file") << "x";

    EXPECT_EQ(app::drive_folder_problem(root), "");
    EXPECT_EQ(app::drive_folder_problem(root / "missing"), "no such folder");
    EXPECT_EQ(app::drive_folder_problem(root / "file"), "not a folder");
#ifndef _WIN32
    // Windows folders are closed to a user by access lists, which the permission bits don't reach.
    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);
    if (::geteuid() != 0) {
        EXPECT_EQ(app::drive_folder_problem(root / "locked").rfind("cannot be read: ", 0), 0u);
    }
#endif

    auto choice = choose({"c:=" + root.string(), "d:=" + (root / "missing").string()});
    EXPECT_EQ(choice.error, "--drive d:=" + (root / "missing").string() + ": no such folder");
    choice = choose({"c:=" + root.string()});
    EXPECT_EQ(choice.error, "");
    EXPECT_TRUE(choice.notes.empty());
    EXPECT_TRUE(choice.drives.has_letter('c'));
}

#ifndef _WIN32
// Discovery looks for Wine prefixes and mounted partitions only on Linux: on Windows the drives are
// the system's own.
TEST_F(StartChecks, FindingNoDriveSaysWhereItLookedAndHowToGiveOne)
{
    auto choice = choose({});
    EXPECT_TRUE(choice.drives.is_empty());
    ASSERT_EQ(choice.notes.size(), 1u);
    const std::string& note = choice.notes[0];
    EXPECT_NE(note.find((root / "home/.wine").string()), std::string::npos) << note;
    EXPECT_NE(note.find("Windows partition"), std::string::npos) << note;
    EXPECT_NE(note.find("--drive X:=DIR"), std::string::npos) << note;
    EXPECT_EQ(note.find('\n'), std::string::npos);
}

TEST_F(StartChecks, FoldersBeyondTheLastLetterAreNamed)
{
    // 26 mounted partitions for the 24 letters c: to z:.
    std::string mounts;
    for (int i = 0; i < 26; ++i) {
        fs::path folder = root / ("part" + std::to_string(100 + i));
        fs::create_directories(folder);
        mounts += "/dev/sd" + std::to_string(i) + " " + folder.string() + " ntfs3 rw 0 0\n";
    }
    auto choice = choose({}, mounts);
    EXPECT_EQ(choice.drives.bindings().size(), 24u);
    ASSERT_EQ(choice.notes.size(), 1u);
    EXPECT_EQ(choice.notes[0],
        "more drives than free letters; left out " + (root / "part124").string() + ", "
            + (root / "part125").string());
}

#endif

TEST_F(StartChecks, AScriptMustBeAReadableFile)
{
    std::ofstream(root / "run.script") << "dump\n";
    EXPECT_EQ(app::unreadable_file_problem((root / "run.script").string()), "");
    EXPECT_EQ(app::unreadable_file_problem((root / "missing.script").string()), "No such file or directory");
    EXPECT_EQ(app::unreadable_file_problem(root.string()), "it is a folder");
}
