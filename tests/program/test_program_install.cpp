// The installed game: `cmake --install` into a scratch prefix, then both
// programs started from elsewhere, each finding the archive in the prefix's
// Resources folder by way of its own location.
#include <gtest/gtest.h>

#include "program/program_support.h"

namespace {

using namespace program_test;
using tilmar_test::TempDir;

bool isExecutable(const std::string &path)
{
    return access(path.c_str(), X_OK) == 0;
}

// Two clicks on the layout's right arrow, a game started, which stores the
// settings, and left through the question on quitting: a run that stores
// layout 2 got past loading the archive.
DemoWriter layoutDemo()
{
    DemoWriter demo(3000);
    demo.wait(700);
    for (int i = 0; i < 2; ++i) {
        demo.click(demo::inside(tmscreen::kLayoutRightArrow));
        demo.wait(300);
    }
    demo.click(startButton());
    demo.wait(1000);
    demo.quit();
    demo.wait(1000);
    demo.click(demo::areYouSureOk());
    return demo;
}

TEST(ProgramInstall, InstalledProgramsFindTheirArchiveFromAnyDirectory)
{
    TempDir scratch;
    const std::string prefix = scratch / "opt";
    const tilmar_test::ChildOutcome install = tilmar_test::runInChild(scratch.path(), [&] {
        execl(TILMAR_CMAKE_COMMAND, TILMAR_CMAKE_COMMAND, "--install", TILMAR_BINARY_DIR, "--prefix", prefix.c_str(),
              static_cast<char *>(nullptr));
        _exit(127);
    });
    ASSERT_TRUE(install.exited && install.exitStatus == 0) << install.out << install.err;
    EXPECT_TRUE(isExecutable(prefix + "/bin/tilmar"));
    EXPECT_TRUE(isExecutable(prefix + "/bin/tilmar-static"));
    const std::string archive = prefix + "/Resources/tilmar.vmz";
    ASSERT_TRUE(tilmar_test::fileExists(archive));
    EXPECT_TRUE(tilmar_test::readFile(archive) == tilmar_test::readFile(std::string(TILMAR_BINARY_DIR) +
                                                                           "/Resources/tilmar.vmz"))
        << "the installed archive is not the build's";

    // A link to the program elsewhere: the program's real place counts.
    TempDir elsewhere;
    ASSERT_EQ(symlink((prefix + "/bin/tilmar").c_str(), (elsewhere / "mahjong").c_str()), 0);
    const struct
    {
        const char *how;
        Launch launch;
    } cases[] = {
        {"tilmar by its full path", {prefix + "/bin/tilmar", "", "", "", {}, {}}},
        {"tilmar-static found on PATH", {prefix + "/bin/tilmar-static", "tilmar-static", "", prefix + "/bin:/usr/bin:/bin", {}, {}}},
        {"tilmar-static by a relative path", {prefix + "/bin/tilmar-static", "opt/bin/tilmar-static", scratch.path(), "", {}, {}}},
        {"tilmar through a link", {elsewhere / "mahjong", elsewhere / "mahjong", "", "", {}, {}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        TempDir home;
        const RunResult run = runDemo(home, layoutDemo(), c.launch);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        EXPECT_EQ(run.out.find("Missing Resource File"), std::string::npos) << run.out;
        EXPECT_EQ(readRegistry(home)["Layout"], valueBytes<int32_t>(2));
    }

    // Without the archive beside it the program says where it looked.
    ASSERT_EQ(rename(archive.c_str(), (scratch / "moved.vmz").c_str()), 0);
    TempDir home;
    const RunResult run = runDemo(home, layoutDemo(), Launch{prefix + "/bin/tilmar", "", "", "", {}, {}});
    EXPECT_NE(run.out.find("Could not load the resource file '" + archive + "'"), std::string::npos)
        << run.describe();
}

} // namespace
