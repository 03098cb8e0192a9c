// Start-up services: the "+set" command string, the usage text, the
// full-screen option, the program's own path and resource directory, and the
// user's login name.
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "engine/core/HCvarManager.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HUnixPlatform.h"
#include "platform_test_support.h"

using platform_test::ChildOutcome;
using platform_test::ScratchDir;
using platform_test::runInChild;

namespace {

struct Argv
{
    explicit Argv(const std::vector<std::string> &args) : strings(args)
    {
        strings.insert(strings.begin(), "tilmar");
        for (const std::string &s : strings)
            pointers.push_back(s.c_str());
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(strings.size()); }
    const char *const *argv() const { return pointers.data(); }

    std::vector<std::string> strings;
    std::vector<const char *> pointers;
};

// Builds the string in a child (the call may print, write the registry or
// exit) and reports the result as "<ok>[<string>]" on standard error.
ChildOutcome buildInChild(const ScratchDir &dir, const std::vector<std::string> &args,
                          size_t size = kCommandLineSize, const std::string &home = "")
{
    return runInChild(dir.path(), [&] {
        setenv("HOME", home.empty() ? dir.path().c_str() : home.c_str(), 1);
        Argv argv(args);
        std::vector<char> buffer(size, '\0');
        const bool ok = buildCommandLine(buffer.data(), size, argv.argc(), argv.argv(), "TestProduct");
        fprintf(stderr, "%d[%s]", ok ? 1 : 0, buffer.data());
    });
}

const char *standInTitle()
{
    return "Stand-in Title";
}

std::string registryFile(const std::string &home)
{
    return home + "/.velmora/registry_Velmora_TestProduct";
}

// The one record a fresh registry holds after a full-screen option.
std::string fullscreenRecord(char value)
{
    return std::string("Fullscreen\0\x04\0\0\0", 15) + value + std::string("\0\0\0", 3);
}

const char kDemoRefusedLine[] =
    "Demo file name refused (empty, too long, or holding a blank or a semicolon); "
    "no demo is played.\n";

} // namespace

TEST(StartupCommandLine, BuildsPiecesInFixedOrderWhateverTheArgumentOrder)
{
    struct Case
    {
        std::vector<std::string> args;
        const char *expected;
    };
    const Case cases[] = {
        {{}, "+set vg_spriteCursor 0 "},
        {{"-s"}, "+set c_soundDriver null +set vg_spriteCursor 0 "},
        {{"--NoSound"}, "+set c_soundDriver null +set vg_spriteCursor 0 "},
        {{"-swcursor"}, ""},
        {{"--SWCURSOR", "-S"}, "+set c_soundDriver null "},
        {{"-trace", "-journal", "-demo", "x.dem"},
         "+set vg_spriteCursor 0 +set vg_demoFile x.dem +set vg_trace 1 +set vg_journal 1 "},
        {{"--journal", "--TRACE", "--Demo", "a.dem", "--swcursor", "--nosound"},
         "+set c_soundDriver null +set vg_demoFile a.dem +set vg_trace 1 +set vg_journal 1 "},
        {{"-demo", "first.dem", "-demo", "second.dem"},
         "+set vg_spriteCursor 0 +set vg_demoFile second.dem "},
        // The argument after "-demo" is always the file name.
        {{"-demo", "-trace"}, "+set vg_spriteCursor 0 +set vg_demoFile -trace "},
        {{"+set", "vg_trace", "1", "--sound", "-x", "-journal", "-journal"},
         "+set vg_spriteCursor 0 +set vg_journal 1 "},
    };
    for (const Case &c : cases) {
        Argv argv(c.args);
        char buffer[kCommandLineSize];
        memset(buffer, 'X', sizeof buffer);
        EXPECT_TRUE(buildCommandLine(buffer, sizeof buffer, argv.argc(), argv.argv(), "TestProduct"))
            << c.expected;
        EXPECT_STREQ(c.expected, buffer);
    }
}

TEST(StartupCommandLine, ParsedStringSetsTheConsoleVariables)
{
    const std::string longName = std::string(1019, 'd') + ".dem"; // the longest token a value holds
    Argv argv({"-trace", "-journal", "-s", "-demo", longName});
    char buffer[kCommandLineSize];
    ASSERT_TRUE(buildCommandLine(buffer, sizeof buffer, argv.argc(), argv.argv(), "TestProduct"));

    HCvarManager cvars;
    ASSERT_TRUE(cvars.initCvarManager());
    cvars.registerVariable("vg_spriteCursor", "1", 0);
    cvars.registerVariable("vg_demoFile", "", 0);
    cvars.parseCommandLine(buffer);
    EXPECT_EQ(1, cvars.getVariableInt("vg_trace"));
    EXPECT_EQ(1, cvars.getVariableInt("vg_journal"));
    EXPECT_EQ(0, cvars.getVariableInt("vg_spriteCursor"));
    EXPECT_STREQ("null", cvars.getVariableString("c_soundDriver"));
    EXPECT_STREQ(longName.c_str(), cvars.getVariableString("vg_demoFile"));
    cvars.shutdownCvarManager();
}

TEST(StartupCommandLine, RefusesDemoNamesThatWouldNotStayOneValue)
{
    ScratchDir dir;
    const std::string refused[] = {
        "two words.dem",
        "a.dem;+set;vg_journal;1",
        "a.dem +set vg_journal 1",
        "",
        std::string(1024, 'd'), // would be cut to another name
    };
    for (const std::string &name : refused) {
        const ChildOutcome child = buildInChild(dir, {"-demo", name, "-trace"});
        ASSERT_TRUE(child.exited);
        EXPECT_EQ(platform_test::kBodyReturned, child.exitStatus);
        EXPECT_EQ("1[+set vg_spriteCursor 0 +set vg_trace 1 ]", child.err) << name;
        EXPECT_EQ(kDemoRefusedLine, child.out);
    }

    // The injected commands never reach the console variables.
    const ChildOutcome child = runInChild(dir.path(), [] {
        Argv argv({"-demo", "x.dem;+set;vg_journal;1"});
        char buffer[kCommandLineSize];
        buildCommandLine(buffer, sizeof buffer, argv.argc(), argv.argv(), "TestProduct");
        HCvarManager cvars;
        cvars.initCvarManager();
        cvars.registerVariable("vg_journal", "0", 0);
        cvars.registerVariable("vg_demoFile", "", 0);
        cvars.parseCommandLine(buffer);
        fprintf(stderr, "%d[%s]", cvars.getVariableInt("vg_journal"),
                cvars.getVariableString("vg_demoFile"));
        cvars.shutdownCvarManager();
    });
    EXPECT_EQ("0[]", child.err);
}

TEST(StartupCommandLine, DemoPieceThatDoesNotFitIsDroppedAndTooSmallBufferFails)
{
    ScratchDir dir;
    // "+set vg_spriteCursor 0 " is 23 characters; with the demo piece it is 46.
    ChildOutcome child = buildInChild(dir, {"-demo", "x.dem"}, 46);
    EXPECT_EQ("1[+set vg_spriteCursor 0 ]", child.err);
    EXPECT_EQ(kDemoRefusedLine, child.out);

    child = buildInChild(dir, {"-demo", "x.dem"}, 47);
    EXPECT_EQ("1[+set vg_spriteCursor 0 +set vg_demoFile x.dem ]", child.err);
    EXPECT_EQ("", child.out);

    // Without a demo nothing is printed, but a cut string is no success.
    Argv argv({"-trace"});
    char buffer[32];
    memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(buildCommandLine(buffer, 20, argv.argc(), argv.argv(), "TestProduct"));
    EXPECT_STREQ("+set vg_spriteCurso", buffer);
    EXPECT_EQ('X', buffer[20]);
}

TEST(StartupCommandLine, DemoWithoutFileNameEndsWith42)
{
    ScratchDir dir;
    const ChildOutcome child = buildInChild(dir, {"-trace", "--DEMO"});
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(42, child.exitStatus);
    EXPECT_EQ("Failed to specify demo file, e.g. -demo demo.dem\n", child.out);
    EXPECT_EQ("", child.err);
}

TEST(StartupCommandLine, HelpPrintsTheUsageTextAndEndsWith42)
{
    ScratchDir dir;
    const ChildOutcome child = runInChild(dir.path(), [] {
        setUsageTitleFunction(&standInTitle);
        Argv argv({"-trace", "--HeLp", "-demo"});
        char buffer[kCommandLineSize];
        buildCommandLine(buffer, sizeof buffer, argv.argc(), argv.argv(), "TestProduct");
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(42, child.exitStatus);
    EXPECT_EQ(std::string("Stand-in Title\n"
                          " ") + kVelmoraWebAddress + "\n"
                          "\n"
                          "Options:\n"
                          "   --help         -h    Print this information and exit.\n"
                          "   --nosound      -s    Don't play any sound/music.\n"
                          "   --swcursor           Use the pretty software cursor (may be slower).\n"
                          "   --fullscreen   -f    Force fullscreen mode.\n"
                          "   --windowed     -w    Force windowed mode.\n"
                          "\n",
              child.out);
}

TEST(StartupCommandLine, FullscreenOptionsWriteTheRegistryAtOnce)
{
    ScratchDir dir;
    struct Case
    {
        std::vector<std::string> args;
        char stored;
        int exitStatus;
    };
    const Case cases[] = {
        {{"-f"}, 1, platform_test::kBodyReturned},
        {{"--Windowed"}, 0, platform_test::kBodyReturned},
        {{"--fullscreen", "-w"}, 0, platform_test::kBodyReturned},
        {{"-w", "-F"}, 1, platform_test::kBodyReturned},
        {{"-f", "-h"}, 1, 42}, // written before help ends the program
    };
    int serial = 0;
    for (const Case &c : cases) {
        const std::string home = dir / ("home" + std::to_string(++serial));
        platform_test::makeDirs(home);
        const ChildOutcome child = buildInChild(dir, c.args, kCommandLineSize, home);
        EXPECT_EQ(c.exitStatus, child.exitStatus) << c.args[0];
        EXPECT_EQ(fullscreenRecord(c.stored), platform_test::readFile(registryFile(home)))
            << c.args[0];
    }
}

TEST(StartupCommandLine, RegistryThatCannotOpenIsReportedAndStartUpGoesOn)
{
    ScratchDir dir;
    platform_test::makeDirs(dir / ".velmora");
    ASSERT_TRUE(platform_test::writeFile(registryFile(dir.path()), fullscreenRecord(0)));

    const ChildOutcome child = runInChild(dir.path(), [&] {
        setenv("HOME", dir.path().c_str(), 1);
        // Touch the registry once first: the sanitizers' first type check of
        // an object needs descriptors of its own.
        getSystemRegistry()->close();
        // No descriptor left: the existing registry file cannot be opened.
        struct rlimit limit = {3, 3};
        setrlimit(RLIMIT_NOFILE, &limit);
        Argv argv({"-f", "-s"});
        char buffer[kCommandLineSize];
        const bool ok = buildCommandLine(buffer, sizeof buffer, argv.argc(), argv.argv(), "TestProduct");
        fprintf(stderr, "%d[%s]", ok ? 1 : 0, buffer);
    });
    EXPECT_NE(std::string::npos,
              child.out.find("Failed to open registry. Can't change fullscreen state.\n"));
    EXPECT_EQ("1[+set c_soundDriver null +set vg_spriteCursor 0 ]", child.err);
    EXPECT_EQ(fullscreenRecord(0), platform_test::readFile(registryFile(dir.path())));
}

class StartupPaths : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.path().empty());
        platform_test::makeDirs(dir / "app/bin");
        platform_test::makeDirs(dir / "other");
        platform_test::makeDirs(dir / "shadow/prog"); // a directory named like the program
        ASSERT_TRUE(platform_test::writeFile(dir / "app/bin/prog", "#!/bin/sh\n", 0755));
        ASSERT_TRUE(platform_test::writeFile(dir / "other/prog", "#!/bin/sh\n", 0755));
        ASSERT_TRUE(platform_test::writeFile(dir / "app/bin/tool", "#!/bin/sh\n", 0644));
        ASSERT_TRUE(platform_test::writeFile(dir / "other/tool", "#!/bin/sh\n", 0755));
    }

    // findExecutablePath in a child with the given working directory, PATH
    // and HOME ("-" leaves the variable unset).
    std::string findInChild(const char *argv0, const std::string &cwd, const std::string &path,
                            const std::string &home = "-")
    {
        const ChildOutcome child = runInChild(dir.path(), [&] {
            if (chdir(cwd.c_str()) != 0)
                _exit(1);
            if (path == "-")
                unsetenv("PATH");
            else
                setenv("PATH", path.c_str(), 1);
            if (home == "-")
                unsetenv("HOME");
            else
                setenv("HOME", home.c_str(), 1);
            char *found = findExecutablePath(argv0);
            fprintf(stderr, "%s", found != nullptr ? found : "(null)");
            delete[] found;
        });
        EXPECT_EQ(platform_test::kBodyReturned, child.exitStatus);
        return child.err;
    }

    ScratchDir dir;
};

TEST_F(StartupPaths, FindExecutablePathResolvesEveryFormOfArgv0)
{
    const std::string prog = dir / "app/bin/prog";
    const std::string other = dir / "other";
    struct Case
    {
        std::string argv0;
        std::string cwd;
        std::string path;
        std::string home;
        std::string expected;
    };
    const Case cases[] = {
        {prog, "/", "/usr/bin", "-", prog},
        {"bin/../bin/prog", dir / "app", "/usr/bin", "-", prog},
        {"./prog", dir / "app/bin", "-", "-", prog},
        {"prog", "/", "/nonexistent:" + dir / "app/bin", "-", prog},
        {"prog", "/", "::" + dir / "app/bin" + ":", "-", prog},
        // A directory of that name and a file without execute permission are passed over.
        {"prog", "/", dir / "shadow:" + other, "-", other + "/prog"},
        {"tool", "/", dir / "app/bin:" + other, "-", other + "/tool"},
        {"prog", "/", "~/app/bin", dir.path(), prog},
        {"prog", "/", "~/app/bin/", dir.path() + "/", prog},
        // Without HOME, "~" is the working directory.
        {"prog", dir.path(), "~/app/bin", "-", prog},
        // Nothing locates the program: the working directory stands in.
        {dir / "missing/prog", other, "/usr/bin", "-", other},
        {"no-such-program-here", other, "/nonexistent:" + dir / "app/bin", "-", other},
        {"prog", other, "-", "-", other},
        {"", other, dir / "app/bin", "-", other},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, findInChild(c.argv0.c_str(), c.cwd, c.path, c.home))
            << "argv0 '" << c.argv0 << "' PATH '" << c.path << "'";
}

TEST_F(StartupPaths, ResourceDirectoryIsTwoLevelsAboveTheProgram)
{
    const std::string prog = dir / "app/bin/prog";
    char buffer[kResourceDirectorySize];
    EXPECT_EQ(static_cast<int>((dir / "app").size()),
              findResourceDirectory(buffer, sizeof buffer, prog.c_str()));
    EXPECT_EQ(dir / "app/Resources/", buffer);

    // A program directly inside a top-level folder has the root as its base.
    ASSERT_TRUE(platform_test::writeFile(dir / "top", "#!/bin/sh\n", 0755));
    const std::string top = dir / "top";
    const std::string parent = dir.path().substr(0, dir.path().rfind('/'));
    EXPECT_EQ(static_cast<int>(parent.size()), findResourceDirectory(buffer, sizeof buffer, top.c_str()));
    EXPECT_EQ(parent + "/Resources/", buffer);

    // Found through PATH, the same directory.
    const ChildOutcome child = runInChild(dir.path(), [&] {
        setenv("PATH", (dir / "app/bin").c_str(), 1);
        char inChild[kResourceDirectorySize];
        findResourceDirectory(inChild, sizeof inChild, "prog");
        fprintf(stderr, "%s", inChild);
    });
    EXPECT_EQ(dir / "app/Resources/", child.err);
}

TEST_F(StartupPaths, ResourceDirectoryStaysInsideASmallBuffer)
{
    const std::string prog = dir / "app/bin/prog";
    for (size_t size : {1u, 2u, 8u, 16u, 30u}) {
        char buffer[64];
        memset(buffer, 'X', sizeof buffer);
        const int length = findResourceDirectory(buffer, size, prog.c_str());
        EXPECT_LT(strlen(buffer), size);
        EXPECT_LE(static_cast<size_t>(length), strlen(buffer));
        EXPECT_EQ('X', buffer[size]) << size;
    }
    char untouched = 'X';
    EXPECT_EQ(0, findResourceDirectory(&untouched, 0, prog.c_str()));
    EXPECT_EQ('X', untouched);
}

TEST(StartupUserName, CopiesTheLoginNameCutToTheBuffer)
{
    const struct passwd *entry = getpwuid(getuid());
    ASSERT_NE(nullptr, entry);
    const std::string name = entry->pw_name;
    ASSERT_FALSE(name.empty());

    char buffer[256];
    EXPECT_EQ(buffer, getUserName(buffer, sizeof buffer));
    EXPECT_EQ(name, buffer);

    memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(buffer, getUserName(buffer, 2));
    EXPECT_EQ(name.substr(0, 1), buffer);
    EXPECT_EQ('X', buffer[2]);

    EXPECT_EQ(buffer, getUserName(buffer, 1));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(nullptr, getUserName(buffer, 0));
}
