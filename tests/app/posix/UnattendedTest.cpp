// sorrel --detect and --remove-older as a deployment tool runs them: exit statuses, the report
// against its schema, and what is left on the drives.

#include "tests/platform/files/TempFolder.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/file.h>

using namespace sorrel::test_support;
namespace fs = std::filesystem;

namespace {

// The reason a JSON report gives for keeping the file `name`; empty when it names no such file.
std::string kept_reason(std::string const& report, std::string const& name)
{
    auto at = report.find("\"name\": \"" + name + "\"");
    if (at == std::string::npos)
        return {};
    std::string const key = "\"reason\": \"";
    at = report.find(key, at);
    if (at == std::string::npos)
        return {};
    at += key.size();
    return report.substr(at, report.find('"', at) - at);
}

class Unattended : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "runtime");
        fs::create_directories(m_root / "c");
        fs::create_directories(m_root / "d");
    }

    fs::path older() const { return m_root / "c" / "Program Files" / "Messenger"; }
    fs::path newer() const { return m_root / "d" / "Program Files" / "MSN Messenger"; }

    void install_older(int companions = 2)
    {
        fs::create_directories(older());
        fs::copy_file(fs::path(SORREL_TEST_DATA) / "files" / "exe64_basic.exe", older() / "msmsgs.exe");
        for (int i = 0; i < companions; ++i)
            std::ofstream(older() / ("part" + std::to_string(i) + ".dll")) << "part " << i;
    }
    void install_newer()
    {
        fs::create_directories(newer());
        fs::copy_file(
            fs::path(SORREL_TEST_DATA) / "files" / "exe32_leading_zero.exe", newer() / "msnmsgr.exe");
    }

    std::vector<std::string> command(std::vector<std::string> args) const
    {
        args.insert(args.begin(),
            {SORREL_PROGRAM, "--drive", "c:=" + (m_root / "c").string(), "--drive",
                "d:=" + (m_root / "d").string()});
        return args;
    }
    std::vector<std::string> environment() const
    {
        return {"HOME=" + m_root.string(), "XDG_RUNTIME_DIR=" + (m_root / "runtime").string()};
    }
    Finished sorrel(std::vector<std::string> args) const
    {
        return run_program(command(std::move(args)), environment());
    }

    // Checks a JSON report against docs/report.schema.json with Debian's python3-jsonschema.
    void expect_valid_report(std::string const& json)
    {
        fs::path report = m_root / "report.json";
        std::ofstream(report) << json;
        std::string check = "/usr/bin/python3 -c 'import json, sys, jsonschema; "
                            "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])), "
                            "cls=jsonschema.Draft202012Validator)' "
            + report.string() + " " SORREL_SOURCE_DIR "/docs/report.schema.json 2>&1";
        EXPECT_EQ(output_of(check), "") << json;
    }

    sorrel::files::test::TempFolder m_temp;
    const fs::path& m_root = m_temp.path();
};

} // namespace

TEST_F(Unattended, DetectEndsWithOneOnlyWhenAnOlderVersionSitsBesideANewerOne)
{
    Finished none = sorrel({"--detect", "--report", "json"});
    EXPECT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.out.find("\"verdict\": \"none\""), std::string::npos) << none.out;
    expect_valid_report(none.out);

    install_newer();
    Finished one = sorrel({"--detect"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("one version"), std::string::npos) << one.out;

    install_older();
    Finished two = sorrel({"--detect", "--report=json"});
    EXPECT_EQ(two.status, 1) << two.err;
    EXPECT_NE(two.out.find("\"version\": \"4.7.3001.0\""), std::string::npos) << two.out;
    EXPECT_NE(two.out.find("\"files\": 3"), std::string::npos) << two.out;
    expect_valid_report(two.out);
    EXPECT_TRUE(fs::exists(older() / "msmsgs.exe")) << "--detect changed something";
}

TEST_F(Unattended, UsageErrorsAndAScanThatCannotRunHaveTheirOwnStatus)
{
    install_older();
    install_newer();
    for (auto args : std::vector<std::vector<std::string>> {{"--detect", "--report", "xml"},
             {"--detect", "--remove-older"}, {"--detect", "--yes"},
             {"--remove-older", "--yes", "--at-reboot"}, {"--report", "json"}, {"--detect", "--headless"}}) {
        Finished run = sorrel(args);
        EXPECT_EQ(run.status, 2) << args[0] << " " << args[1] << ": " << run.err;
        EXPECT_EQ(run.out, "");
    }
    Finished no_drive = run_program(
        {SORREL_PROGRAM, "--detect", "--drive", "c:=" + (m_root / "missing").string()}, environment());
    EXPECT_EQ(no_drive.status, 3) << no_drive.err;
    EXPECT_TRUE(fs::exists(older() / "msmsgs.exe"));
}

TEST_F(Unattended, WithoutYesNothingIsRemoved)
{
    install_older();
    install_newer();
    Finished run = sorrel({"--remove-older"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--yes"), std::string::npos) << run.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(older()), fs::directory_iterator()), 3);
}

TEST_F(Unattended, RemovalTakesTheOlderFolderAndLeavesTheNewer)
{
    install_older();
    install_newer();
    fs::path log = m_root / "removal.log";
    Finished run = sorrel({"--remove-older", "--yes", "--report", "json", "--log", log.string()});
    EXPECT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_FALSE(fs::exists(older()));
    EXPECT_TRUE(fs::exists(newer() / "msnmsgr.exe"));
    expect_valid_report(run.out);
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Z deleted " + std::string("c:\\Program Files\\Messenger\\msmsgs.exe\n")),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("deleted the folder c:\\Program Files\\Messenger"), std::string::npos) << text;

    // Run again, there is nothing left to remove.
    Finished again = sorrel({"--remove-older", "--yes"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("Nothing to remove."), std::string::npos) << again.out;
}

TEST_F(Unattended, ReadOnlyAndInUseFilesAreKeptAndNamedWithStatusOne)
{
    install_older();
    install_newer();
    fs::permissions(older() / "part0.dll",
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    std::ifstream held(older() / "part1.dll");
    Finished run = sorrel({"--remove-older", "--yes", "--report", "json"});
    EXPECT_EQ(run.status, 1) << run.err;
    expect_valid_report(run.out);
    EXPECT_EQ(kept_reason(run.out, "part0.dll"), "read-only") << run.out;
    EXPECT_EQ(kept_reason(run.out, "part1.dll"), "in use") << run.out;
    EXPECT_NE(run.out.find("\"attempts\": 2"), std::string::npos) << "the one retry was not made";
    EXPECT_FALSE(fs::exists(older() / "msmsgs.exe"));
    EXPECT_TRUE(fs::exists(older() / "part0.dll"));
}

TEST_F(Unattended, ASecondInstanceIsTurnedAwayAndChangesNothing)
{
    install_older();
    install_newer();
    int fd = ::open((m_root / "runtime" / "sorrel.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    Finished run = sorrel({"--remove-older", "--yes"});
    ::close(fd);
    EXPECT_EQ(run.status, 75) << run.err;
    EXPECT_NE(run.err.find("another Sorrel"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(older() / "msmsgs.exe"));
}

TEST_F(Unattended, AKilledRemovalLeavesALogOfWhatWent)
{
    // Enough files that the removal is still under way when the log first shows some progress.
    constexpr int companions = 2000;
    install_older(companions);
    install_newer();
    fs::path log = m_root / "removal.log";
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_t pid
        = start_program(command({"--remove-older", "--yes", "--log", log.string()}), environment(), null);
    ::close(null);
    ASSERT_GT(pid, 0);
    auto deleted_lines = [&] {
        std::ifstream in(log);
        std::vector<std::string> names;
        for (std::string line; std::getline(in, line);) {
            auto at = line.find(" deleted c:\\Program Files\\Messenger\\");
            if (at != std::string::npos)
                names.push_back(line.substr(line.rfind('\\') + 1));
        }
        return names;
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (deleted_lines().size() < 10 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);

    auto names = deleted_lines();
    ASSERT_GE(names.size(), 10u);
    for (auto const& name : names)
        EXPECT_FALSE(fs::exists(older() / name)) << name << " is logged as deleted but is there";
    // Every file that went is named, but for the one the kill may have cut off from its line.
    if (fs::exists(older())) {
        auto left = size_t(std::distance(fs::directory_iterator(older()), fs::directory_iterator()));
        EXPECT_GE(left + names.size(), size_t(companions));
        EXPECT_LE(left + names.size(), size_t(companions + 1));
    }
}
