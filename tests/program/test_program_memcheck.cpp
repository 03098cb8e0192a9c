// A whole won game played under valgrind's memcheck: no memory errors and
// no block definitely lost.
#include <gtest/gtest.h>

#include <unistd.h>

#include "program/program_support.h"
#include "support/skip_support.h"

namespace {

using namespace program_test;

const char kValgrind[] = "/usr/bin/valgrind";
// The exit status valgrind gives when it found an error (a definite leak
// counts as one); the game itself ends with 0.
constexpr int kErrorStatus = 99;

TEST(ProgramMemcheck, AWonGameRunsCleanUnderValgrind)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "valgrind cannot run a program built with a sanitizer";
#endif
    if (access(kValgrind, X_OK) != 0)
        return tilmar_test::skipUnlessCI("valgrind is not installed (" + std::string(kValgrind) +
                                         "), so the game is not checked under it");

    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Valerie"));
    tilmar_test::TempDir home;
    Launch launch;
    launch.wrapper = {kValgrind,
                      "--quiet",
                      "--leak-check=full",
                      "--errors-for-leak-kinds=definite",
                      "--error-exitcode=" + std::to_string(kErrorStatus)};
    const RunResult run = runDemo(home, won.demo, launch, 600);
    EXPECT_TRUE(run.endedWell()) << run.describe() << "\n" << run.err;
    std::map<std::string, std::string> registry = readRegistry(home);
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Valerie", won.seconds, won.seconds, 0));
}

} // namespace
