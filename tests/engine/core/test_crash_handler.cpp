// The crash handler: each fatal signal ends the process with the signal
// number plus 127 after a framed stack dump on standard output.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/mman.h>

#include "engine/core/HUnixPlatform.h"
#include "platform_test_support.h"

using platform_test::ChildOutcome;
using platform_test::ScratchDir;
using platform_test::runInChild;

namespace {

// The report's framing is the whole of the output.
void expectReport(const std::string &name, const std::string &out)
{
    EXPECT_EQ(tilmar_test::crashReportProblems(name, out), "") << out;
}

} // namespace

TEST(CrashHandler, EachFatalSignalEndsWithItsNumberPlus127AndAReport)
{
    ScratchDir dir;
    struct Case
    {
        int signal;
        const char *name;
        int status;
    };
    const Case cases[] = {
        {SIGSEGV, "SIGSEGV", 138}, {SIGILL, "SIGILL", 131},  {SIGQUIT, "SIGQUIT", 130},
        {SIGABRT, "SIGABRT", 133}, {SIGFPE, "SIGFPE", 135},  {SIGBUS, "SIGBUS", 134},
    };
    for (const Case &c : cases) {
        const ChildOutcome child = runInChild(dir.path(), [&] {
            installSignalHandlers();
            raise(c.signal);
        });
        ASSERT_TRUE(child.exited) << c.name << " ended the child by signal " << child.termSignal;
        EXPECT_EQ(c.status, child.exitStatus) << c.name;
        expectReport(c.name, child.out);
    }
}

TEST(CrashHandler, RealFaultIsCaught)
{
    ScratchDir dir;
    const ChildOutcome child = runInChild(dir.path(), [] {
        installSignalHandlers();
        void *page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (page == MAP_FAILED)
            return;
        volatile const char *bad = static_cast<const char *>(page);
        (void)*bad;
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(138, child.exitStatus);
    expectReport("SIGSEGV", child.out);
}

TEST(CrashHandler, OtherSignalNumbersAreNamedUnexpected)
{
    ScratchDir dir;
    const ChildOutcome child = runInChild(dir.path(), [] { onSignal(SIGUSR1); });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(SIGUSR1 + 127, child.exitStatus);
    expectReport("(unexpected)", child.out);
}
