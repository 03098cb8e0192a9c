// Where the settings cannot be saved: a read-only settings folder, a full
// disk, and no home folder to write in. The real program plays on with what
// it holds, leaves the file it had as it was, says why each save failed and
// writes nothing anywhere else.
#include <gtest/gtest.h>

#include <cerrno>
#include <pwd.h>
#include <sys/resource.h>

#include "game/registry_support.h"
#include "program/program_support.h"

namespace {

using namespace program_test;
using tilmar_test::TempDir;
using tilmar_test::listDirectory;

// The name the enter-name dialog offers: the last one stored.
const char kRememberedName[] = "Remembered";

// The alert a failed save shows, with the reason.
std::string saveAlert(int error)
{
    return tilmar_test::registrySaveAlert(std::strerror(error));
}

// A player's registry after some games, as the game writes it: the
// settings, and the 144 best times, the first held by an earlier game.
std::string playersRegistry()
{
    std::string bytes;
    for (int layout = TM_LAYOUT_COUNT - 1; layout >= 0; --layout)
        for (int rank = TM_BEST_TIME_RANKS - 1; rank >= 0; --rank)
            bytes += registryRecord(bestTimeKey(layout, rank),
                                    layout == 0 && rank == 0
                                        ? bestTimeBytes("Previous", 4000, 4000, 0)
                                        : bestTimeBytes(getDefaultBestTimeName(rank), TM_PLACEHOLDER_SECONDS,
                                                        TM_PLACEHOLDER_SECONDS, TM_PLACEHOLDER_TILES));
    return registryRecord("LastHighScoreName", field(kRememberedName, TM_LAST_NAME_SIZE)) +
           registryRecord("Fullscreen", le32(0)) + registryRecord("Layout", le32(0)) +
           registryRecord("Background", le32(4)) + registryRecord("Tileset", le32(2)) +
           registryRecord("Music Volume", floatBytes(0.75f)) + registryRecord("Sound Volume", floatBytes(0.5f)) +
           registryRecord("Autohint", le32(0)) + bytes;
}

// A won game whose player takes the name offered; the demo ends on the
// title screen and leaves the program to live input.
DemoWriter wonGameTakingTheOfferedName(int32_t &seconds)
{
    WonGame won;
    writeWonBoard(won);
    continueToName(won.demo);
    confirmName(won.demo);
    seconds = won.seconds;
    return won.demo;
}

// Every save of the run fails, from the rewrite at start-up to the best
// time of the game. While the fault lasts the file stays as it was and
// nothing is left beside it; once it is gone, what the failed saves kept
// is written when the program ends: the new best time under the name read
// from the settings before the first failure.
TEST(ProgramSavingFaults, FailedSavesLeaveTheFileAndTheGameGoesOnWithWhatItHolds)
{
    enum Fault { kReadOnlyFolder, kFullDisk };
    const struct
    {
        const char *what;
        Fault fault;
        int error;
    } cases[] = {
        {"a read-only settings folder", kReadOnlyFolder, EACCES},
        // The file-size limit is below the registry's 9 KB: every save
        // stops part of the way, as on a full disk.
        {"a full disk", kFullDisk, EFBIG},
    };
    int32_t seconds = 0;
    const DemoWriter demo = wonGameTakingTheOfferedName(seconds);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    const std::string previous = playersRegistry();

    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir home;
        TempDir work;
        tilmar_test::makeDirs(registryDirectory(home));
        ASSERT_TRUE(tilmar_test::writeFile(registryPath(home), previous));
        ASSERT_TRUE(demo.save(home / "play.dem"));
        Launch launch;
        launch.workDir = work.path();
        launch.options = {"-trace"};
        if (c.fault == kReadOnlyFolder) {
            ASSERT_EQ(chmod(registryDirectory(home).c_str(), 0555), 0);
            launch.unprivileged = true;
            launch.program = placeProgram(home, true);
        } else {
            launch.fileSizeLimit = 4096;
        }

        RunningProgram program(home, home / "play.dem", launch);
        // The size limit holds for the trace and the output too; they stay
        // well under it up to the demo's end (under 1 KB each).
        ASSERT_TRUE(program.waitForDemoEnd())
            << "trace.txt holds " << tilmar_test::readFile(work / "trace.txt").size() << " bytes\n"
            << program.finish(5).describe();
        EXPECT_FALSE(program.hasEnded());
        EXPECT_TRUE(tilmar_test::readFile(registryPath(home)) == previous) << "the registry file changed";
        EXPECT_EQ(joined(listDirectory(registryDirectory(home))), "registry_Velmora_Tilmar");

        if (c.fault == kReadOnlyFolder) {
            ASSERT_EQ(chmod(registryDirectory(home).c_str(), 0777), 0);
        } else {
            rlimit limit;
            ASSERT_EQ(prlimit(program.pid(), RLIMIT_FSIZE, nullptr, &limit), 0);
            limit.rlim_cur = limit.rlim_max;
            ASSERT_EQ(prlimit(program.pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
        }
        program.closeWindow();
        const RunResult run = program.finish(30);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        EXPECT_NE(run.out.find(saveAlert(c.error)), std::string::npos) << run.out; 

        std::map<std::string, std::string> registry = readRegistry(home);
        EXPECT_TRUE(storedBestTime(registry["HS:0x0"], kRememberedName, seconds, seconds, 0));
        EXPECT_TRUE(storedBestTime(registry["HS:0x1"], "Previous", 4000, 4000, 0));
        EXPECT_EQ(registry["Sound Volume"], valueBytes(0.5f));
        EXPECT_EQ(registry["Tileset"], valueBytes<int32_t>(2));
        EXPECT_EQ(joined(listDirectory(registryDirectory(home))), "registry_Velmora_Tilmar");
        EXPECT_EQ(joined(listDirectory(work.path())), "trace.txt");
    }
}

struct HomeCase
{
    const char *what;
    std::string home;  // the change to HOME
    std::string path;  // the PATH the program is found on, when not started by its path
};

// Without a home folder to write in, the game starts on its defaults and
// is played to its end; each save that fails says so, and nothing is
// written in the working folder.
void expectPlayedWithoutAHome(const std::vector<HomeCase> &cases)
{
    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Homeless"));
    for (const HomeCase &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir home;  // the demo and the output only
        TempDir work;
        Launch launch;
        launch.workDir = work.path();
        launch.environment = {c.home};
        launch.unprivileged = true;
        launch.program = placeProgram(home, true);
        if (!c.path.empty()) {
            launch.argv0 = "tilmar";
            launch.path = c.path + ":" + (home / "bin");
        }
        const RunResult run = runDemo(home, won.demo, launch);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        EXPECT_EQ(run.out.find("Missing Resource File"), std::string::npos) << run.out;
        // The settings saved when the game started, and the best time saved
        // at its end, which tries the settings once more first.
        EXPECT_GE(tilmar_test::countOf(run.out, saveAlert(ENOENT)), 3) << run.out;
        EXPECT_EQ(joined(listDirectory(work.path())), "");
        EXPECT_FALSE(tilmar_test::fileExists(registryDirectory(home)));
    }
}

TEST(ProgramSavingFaults, WithAHomeThatCannotBeWrittenTheGameIsPlayedToItsEnd)
{
    TempDir readOnlyHome;
    ASSERT_EQ(chmod(readOnlyHome.path().c_str(), 0555), 0);
    expectPlayedWithoutAHome({
        {"HOME read-only", "HOME=" + readOnlyHome.path(), ""},
        {"HOME missing", "HOME=" + (readOnlyHome / "gone"), ""},
    });
    EXPECT_EQ(joined(listDirectory(readOnlyHome.path())), "");
}

// An unset or empty HOME falls back to the home folder in the user's
// password entry. The program runs as "nobody", whose home does not exist,
// so that no test writes into a real home.
TEST(ProgramSavingFaults, WithoutHomeTheGameIsPlayedToItsEnd)
{
    const passwd *nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody || tilmar_test::fileExists(nobody->pw_dir))
        GTEST_SKIP() << "needs root, to run the program as a user whose home does not exist";
    // "~" in PATH stands for the home folder; without one the program is
    // still found further on.
    expectPlayedWithoutAHome({
        {"HOME unset", "HOME", ""},
        {"HOME empty", "HOME=", ""},
        {"HOME unset, the program found on PATH after ~/bin", "HOME", "~/bin"},
    });
}

} // namespace
