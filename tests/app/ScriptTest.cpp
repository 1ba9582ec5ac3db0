// UI scripts (tests/data/app/scripts) run on the window over temporary drives; each transcript
// must equal the .out file beside its script.

#include "AppFixture.h"
#include "platform/backend/headless/ScriptRunner.h"

#include <fstream>
#include <sstream>

using namespace sorrel;
using namespace sorrel::app::testing;

namespace {

struct Scripts : AppFixture {
    std::string run(const std::string& name)
    {
        std::string base = std::string(SORREL_TEST_DATA) + "/app/scripts/" + name;
        std::ostringstream out, err;
        int status
            = backend::run_script_file(host(), *headless, session().form(), base + ".script", out, err);
        EXPECT_EQ(status, 0) << err.str();
        std::ifstream expected_file(base + ".out");
        std::stringstream expected;
        expected << expected_file.rdbuf();
        if (std::getenv("SORREL_UPDATE_GOLDEN"))
            std::ofstream(base + ".out") << out.str();
        else
            EXPECT_EQ(out.str(), expected.str());
        return out.str();
    }
};

} // namespace

TEST_F(Scripts, BothVersionsFoundAndTheOlderRemoved)
{
    older_messenger('c');
    newer_messenger('d');
    open();
    run("both_versions_removed");
    EXPECT_FALSE(fs::exists(drive('c') / OlderFolder));
}

TEST_F(Scripts, AReadOnlyFileIsNamedRetriedAndNamedAgain)
{
    older_messenger('c');
    newer_messenger('d');
    fs::path locked = text_file('c', std::string(OlderFolder) + "/locked.txt");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    open();
    run("files_remain");
    EXPECT_TRUE(fs::exists(locked));
}
