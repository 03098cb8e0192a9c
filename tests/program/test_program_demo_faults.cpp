// Runs that their demo does not end: a demo file cut in the middle of a
// record, and a fatal signal while the game waits for the player. After
// its demo the program goes on with live input.
#include <gtest/gtest.h>

#include "program/program_support.h"

namespace {

using namespace program_test;
using tilmar_test::TempDir;

constexpr size_t kRecordSize = sizeof(HEvent);

// The whole records before the cut are played; the part of the record
// after them is not, and the program goes over to live input: a request
// to close the window then ends it with status 0. Each cut falls in the
// last record, the one that would have closed the window on the title
// screen; had its first bytes been taken for a record, their type would
// have ended the program.
TEST(ProgramDemoFaults, ADemoCutInARecordPlaysTheWholeRecordsAndThenTakesLiveInput)
{
    static_assert(sizeof(HEvent) == 44, "the demo file's record");
    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Cutter"));
    const size_t whole = won.demo.records().size() * kRecordSize;
    const struct
    {
        const char *what;
        size_t length;  // of the file
        bool gamePlayed;
    } cases[] = {
        {"one byte of the last record", whole - kRecordSize + 1, true},
        {"all but one byte of the last record", whole - 1, true},
        {"less than one record", 10, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir home;
        const std::string demoPath = home / "play.dem";
        ASSERT_TRUE(won.demo.save(demoPath));
        ASSERT_EQ(truncate(demoPath.c_str(), static_cast<off_t>(c.length)), 0);
        Launch launch;
        launch.options = {"-trace"};

        RunningProgram program(home, demoPath, launch);
        ASSERT_TRUE(program.waitForDemoEnd()) << program.finish(5).describe();
        EXPECT_FALSE(program.hasEnded());
        program.closeWindow();
        const RunResult run = program.finish(30);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        std::map<std::string, std::string> registry = readRegistry(home);
        if (c.gamePlayed)
            EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Cutter", won.seconds, won.seconds, 0));
        else
            EXPECT_EQ(registry.count("HS:0x0"), 0u) << "a game was played";
    }
}

// A fatal signal while a game waits for the player: the crash report on
// standard output, and the signal's number plus 127 as the status.
TEST(ProgramDemoFaults, AFatalSignalInPlayEndsWithTheCrashReport)
{
    const uint32_t seed = demo::findWinningSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    demo::BoardPlay play(seed, 0);
    const std::vector<demo::TilePair> pairs = play.greedy();
    ASSERT_GE(pairs.size(), 4u);
    DemoWriter demo(seed);
    demo.wait(700);
    demo.click(startButton());
    ASSERT_NE(demo::playPairs(demo, play, {pairs.begin(), pairs.begin() + 4}, kClickGap), 0u);

    const struct
    {
        int signal;
        const char *name;
        int status;
    } cases[] = {
        {SIGSEGV, "SIGSEGV", 138},
        // The one a player can send from a terminal.
        {SIGQUIT, "SIGQUIT", 130},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir home;
        ASSERT_TRUE(demo.save(home / "play.dem"));
        Launch launch;
        launch.options = {"-trace"};
        RunningProgram program(home, home / "play.dem", launch);
        ASSERT_TRUE(program.waitForDemoEnd()) << program.finish(5).describe();
        ASSERT_EQ(kill(program.pid(), c.signal), 0);
        const RunResult run = program.finish(30);
        ASSERT_TRUE(run.exited) << run.describe();
        EXPECT_EQ(run.exitStatus, c.status) << run.describe();
        EXPECT_EQ(tilmar_test::crashReportProblems(c.name, run.out), "") << run.out;
    }
}

} // namespace
