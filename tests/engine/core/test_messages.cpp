// Message boxes on standard output, the silent prints, and the trace sink.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "file_test_support.h"

using file_test::captureStdout;
using file_test::readWholeFile;
using file_test::TempDir;

namespace {

struct BoxCase
{
    const char *label;
    std::function<int()> show;
    std::string expected;
};

TEST(MessageBox, PrintsTheFramedBoxExactly)
{
    const BoxCase cases[] = {
        {"alertBox", [] { return alertBox("Disk %s is %d%% full", "C", 97); },
         "\n\n+-------+\n| Alert |\n+-------+\nDisk C is 97% full\n\n"},
        {"messageBox", [] { return messageBox(49, "Missing Resource File", "Could not load the resource file '%s'", "x.vmz"); },
         "\n\n+-----------------------+\n| Missing Resource File |\n+-----------------------+\n"
         "Could not load the resource file 'x.vmz'\n\n"},
        {"empty title", [] { return showMessage(17, "", "two\nlines"); },
         "\n\n+--+\n|  |\n+--+\ntwo\nlines\n\n"},
        {"null title and text", [] { return showMessage(0, nullptr, nullptr); },
         "\n\n+--+\n|  |\n+--+\n\n\n"},
    };
    for (const BoxCase &c : cases) {
        int result = 0;
        const std::string out = captureStdout([&] { result = c.show(); });
        EXPECT_EQ(out, c.expected) << c.label;
        EXPECT_EQ(result, 1) << c.label;
    }
}

TEST(MessageBox, CutsTheTextTo1023Characters)
{
    const std::string longText(3000, 'x');
    const std::string box = "\n\n+-------+\n| Alert |\n+-------+\n";

    const std::string viaMessageBox = captureStdout([&] { messageBox(49, "Alert", "%s", longText.c_str()); });
    EXPECT_EQ(viaMessageBox, box + std::string(1023, 'x') + "\n\n");

    const std::string viaAlertBox = captureStdout([&] { alertBox("%s!", longText.c_str()); });
    EXPECT_EQ(viaAlertBox, box + std::string(1023, 'x') + "\n\n");
}

TEST(MessageBox, WarningAndDebugPrintsProduceNothingAndDoNotFormat)
{
    // Formatting any of these would read missing arguments or store
    // through %n; the prints must not touch them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
#pragma GCC diagnostic ignored "-Wformat-security"
    const std::string out = captureStdout([] {
        warningPrint("%s %s %s %n");
        debugPrint("%s %n %d");
        warningPrint("HSFS::m_openFileForRead - too many open files");
    });
#pragma GCC diagnostic pop
    EXPECT_EQ(out, "");
}

TEST(MessageBox, TheBoxReachesStandardOutputEvenIfTheProcessEndsAtOnce)
{
    // A box is often the last thing a failing process prints: it must not
    // sit in a stream buffer that nobody flushes.
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const tilmar_test::ChildOutcome child = tilmar_test::runInChild(dir.path(), [] {
        static char buffer[8192];
        setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
        alertBox("Could not load the resource file '%s'", "tilmar.vmz");
        _exit(3);
    });
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 3);
    EXPECT_EQ(child.out,
              "\n\n+-------+\n| Alert |\n+-------+\nCould not load the resource file 'tilmar.vmz'\n\n");
}

TEST(MessageBox, ClipboardDeliversNothing)
{
    char buffer[8] = "keep";
    EXPECT_EQ(getClipboardText(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");
}

// The trace sink is process-wide: every test leaves it unset.
class TraceOutput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.path().empty());
        m_files.mount(m_dir.path().c_str());
    }
    void TearDown() override { setTraceFile(nullptr); }

    TempDir m_dir;
    HStandardFileSystem m_files;
};

TEST_F(TraceOutput, WritesFormattedLinesAndFlushesEach)
{
    HFile *file = m_files.openFileForWrite("trace.txt");
    ASSERT_NE(file, nullptr);
    setTraceFile(file);

    tracePrint("...Creating display device\n");
    // Read back while still open: each line must be flushed to disk, not
    // left in a stream buffer, and carry no terminating zero or line end
    // of its own.
    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), "...Creating display device\n");

    tracePrint("%s::%s - %d", "HFoo", "bar", 42);
    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), "...Creating display device\nHFoo::bar - 42");

    setTraceFile(nullptr);
    tracePrint("after the sink was removed\n");
    file->close();
    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), "...Creating display device\nHFoo::bar - 42");
}

TEST_F(TraceOutput, WithoutTraceFileNothingIsWrittenAnywhere)
{
    setTraceFile(nullptr);
    const std::string out = captureStdout([] {
        tracePrint("nobody hears %s\n", "this");
        writeToTraceFile("nor this");
        writeTraceText("nor this");
    });
    EXPECT_EQ(out, "");
}

TEST_F(TraceOutput, CutsATraceLineTo1023Characters)
{
    HFile *file = m_files.openFileForWrite("trace.txt");
    ASSERT_NE(file, nullptr);
    setTraceFile(file);

    const std::string longText(2000, 'y');
    tracePrint("%s\n", longText.c_str());
    setTraceFile(nullptr);
    file->close();

    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), std::string(1023, 'y'));
}

TEST_F(TraceOutput, DirectWritesBypassFormatting)
{
    HFile *file = m_files.openFileForWrite("trace.txt");
    ASSERT_NE(file, nullptr);
    setTraceFile(file);

    // Text that reaches the sink is written as it stands.
    writeTraceText("100% done\n");
    writeToTraceFile("%s%n");
    setTraceFile(nullptr);
    file->close();

    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), "100% done\n%s%n");
}

} // namespace
