// The program entry, run as a separate process from a scratch directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

using namespace tilmar_test;

namespace {

const std::string kProbe = std::string(TILMAR_TEST_BIN_DIR) + "/framework_entry_probe";

ChildOutcome runProbe(const TempDir &dir, std::vector<std::string> args)
{
    return runInChild(dir.path(), [&] {
        if (chdir(dir.path().c_str()) != 0)
            _exit(3);
        setenv("HOME", dir.path().c_str(), 1);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(kProbe.c_str()));
        for (std::string &a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(kProbe.c_str(), argv.data());
        _exit(4);
    });
}

TEST(Entry, UsageTextIsHeadedByTheGamesTitle)
{
    TempDir dir;
    const ChildOutcome out = runProbe(dir, {"--help"});
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 42);
    EXPECT_NE(out.out.find("Probe Game (Ver 0.1)"), std::string::npos) << out.out;
}

TEST(Entry, ResourcesAreFoundOneFolderUpFromTheProgram)
{
    TempDir dir;
    const ChildOutcome out = runProbe(dir, {"-s", "-trace"});
    ASSERT_TRUE(out.exited);
    // A failed start-up still ends with status 0, and nothing leaks.
    EXPECT_EQ(out.exitStatus, 0) << out.err;
    char real[PATH_MAX];
    ASSERT_NE(realpath(TILMAR_BINARY_DIR, real), nullptr);
    const std::string resources = std::string(real) + "/Resources/";
    EXPECT_NE(out.out.find("resources=" + resources + "\n"), std::string::npos) << out.out;
    EXPECT_NE(out.out.find("sound=null\n"), std::string::npos) << out.out;
    EXPECT_NE(out.out.find("Could not load the resource file '" + resources + "probe.vmz'"), std::string::npos);
    EXPECT_TRUE(fileExists(dir / "trace.txt"));
}

TEST(Entry, OtherArgumentsAreIgnored)
{
    TempDir dir;
    const ChildOutcome out = runProbe(dir, {"+set", "c_soundDriver", "null", "stray"});
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_NE(out.out.find("sound=default\n"), std::string::npos) << out.out;
}

} // namespace
