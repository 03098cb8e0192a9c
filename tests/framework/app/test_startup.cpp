// Start-up and shutdown of the whole application object, each run in a
// child process with HOME and the working directory in a scratch folder
// (the trace sink, the registry and the input device are process-wide).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HUnixPlatform.h"
#include "support/test_support.h"
#include "framework/framework_test_support.h"

using namespace tilmar_test;

namespace {

// A demo file of one record: the A key pressed at the given time.
std::string keyDownRecord(uint32_t time)
{
    HEvent record;
    record.type = ET_KEYDOWN;
    record.keyCode = KC_A;
    record.time = VyTime(time);
    return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

// Runs the game's whole life as the program's entry would, with the given
// options, in dir. `configure` prepares the game; facts for the parent go
// into files of dir.
ChildOutcome runGame(const TempDir &dir, std::vector<const char *> args,
                     const std::function<void(TestGame &)> &configure)
{
    return runInChild(dir.path(), [&] {
        if (chdir(dir.path().c_str()) != 0)
            _exit(3);
        setenv("HOME", dir.path().c_str(), 1);
        args.insert(args.begin(), "tilmar-test");
        char commandLine[kCommandLineSize];
        buildCommandLine(commandLine, sizeof commandLine, static_cast<int>(args.size()), args.data(), "TestGame");
        TestGame game;
        // By default the game ends at its first event.
        game.script = [](const HEvent &) { return 1; };
        configure(game);
        game.main(commandLine, (dir.path() + "/").c_str());
        std::exit(0);
    });
}

void note(const std::string &path, const std::string &text)
{
    writeFile(path, text);
}

TEST(StartUp, TraceAndJournalFilesLandInTheCurrentDirectory)
{
    struct Case
    {
        std::vector<const char *> args;
        bool trace;
        bool journal;
    } cases[] = {
        {{"-trace"}, true, false},
        {{"--journal"}, false, true},
        {{"--trace", "-journal"}, true, true},
        {{}, false, false},
    };
    for (const Case &c : cases) {
        TempDir dir;
        const ChildOutcome out = runGame(dir, c.args, [&](TestGame &game) {
            game.afterInitialize = [&](TestGame &g) {
                // Both files share the one file system rooted at ".".
                note(dir / "facts", std::string(g.m_pTraceFileSystem ? "fs" : "nofs") +
                                        (g.m_pDemoFileSystem ? " demofs" : ""));
            };
        });
        SCOPED_TRACE(c.args.empty() ? "no options" : c.args[0]);
        ASSERT_TRUE(out.exited);
        EXPECT_EQ(out.exitStatus, 0) << out.out << out.err;
        EXPECT_EQ(fileExists(dir / "trace.txt"), c.trace);
        EXPECT_EQ(fileExists(dir / "journal.bin"), c.journal);
        EXPECT_EQ(readFile(dir / "facts"), (c.trace || c.journal) ? "fs" : "nofs");
        if (c.trace) {
            const std::string trace = readFile(dir / "trace.txt");
            const size_t display = trace.find("...Creating display device\n");
            const size_t input = trace.find("...Creating input device\n");
            const size_t audio = trace.find("...Creating audio device\n");
            ASSERT_NE(display, std::string::npos) << trace;
            ASSERT_NE(input, std::string::npos) << trace;
            ASSERT_NE(audio, std::string::npos) << trace;
            EXPECT_LT(display, input);
            EXPECT_LT(input, audio);
        }
        if (c.journal) {
            const std::string journal = readFile(dir / "journal.bin");
            EXPECT_GT(journal.size(), 0u);
            EXPECT_EQ(journal.size() % sizeof(HEvent), 0u);
        }
    }
}

TEST(StartUp, MissingDemoFileLeavesPlaybackOffAndTheGameRunsLive)
{
    TempDir dir;
    const ChildOutcome out = runGame(dir, {"-demo", "nothing.bin"}, [&](TestGame &game) {
        game.script = [&](const HEvent &e) {
            // Live input: the first event comes from the input device or
            // the empty queue, not from a file.
            note(dir / "facts", std::string(game.m_pDemoFile ? "demo" : "nodemo") +
                                    (game.m_pDemoFileSystem ? " fs" : "") +
                                    (e.type == ET_TIMESTAMP || e.type == ET_MOUSEMOVE ? " live" : " other"));
            return 1;
        };
    });
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_EQ(readFile(dir / "facts"), "nodemo fs live");
}

TEST(StartUp, AJournalPlayedBackAsTheDemoIsNotOverwritten)
{
    const std::string recording = keyDownRecord(777);
    for (const char *name : {"journal.bin", "./journal.bin"}) {
        TempDir dir;
        writeFile(dir / "journal.bin", recording);
        const ChildOutcome out = runGame(dir, {"-journal", "-demo", name}, [&](TestGame &game) {
            game.script = [&](const HEvent &e) {
                note(dir / "facts", std::to_string(e.type) + " " + std::to_string(e.time.low) +
                                        (game.m_pJournalFile ? " journal" : " nojournal"));
                return 1;
            };
        });
        SCOPED_TRACE(name);
        ASSERT_TRUE(out.exited);
        EXPECT_EQ(out.exitStatus, 0) << out.out;
        EXPECT_EQ(readFile(dir / "facts"), std::to_string(ET_KEYDOWN) + " 777 nojournal");
        EXPECT_EQ(readFile(dir / "journal.bin"), recording);
    }
}

TEST(StartUp, DemoFileByAbsolutePathIsPlayed)
{
    TempDir dir;
    TempDir elsewhere;
    writeFile(elsewhere / "demo.bin", keyDownRecord(777));
    const std::string path = elsewhere / "demo.bin";
    const ChildOutcome out = runGame(dir, {"-demo", path.c_str()}, [&](TestGame &game) {
        game.script = [&](const HEvent &e) {
            note(dir / "facts", std::to_string(e.type) + " " + std::to_string(e.time.low));
            return 1;
        };
    });
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0) << out.out;
    EXPECT_EQ(readFile(dir / "facts"), std::to_string(ET_KEYDOWN) + " 777");
}

TEST(StartUp, ArchivePathWithoutVmzIsMountedAsADirectory)
{
    TempDir dir;
    makeDirs(dir / "res");
    writeFile(dir / "res/config.txt", "hello");
    const ChildOutcome out = runGame(dir, {}, [&](TestGame &game) {
        game.archivePath = dir / "res";
        game.createDevices = false;
        game.afterInitialize = [&](TestGame &g) {
            HFile *f = g.m_pResourceFileSystem->openFileForRead("config.txt");
            note(dir / "facts", f ? "found" : "missing");
            if (f)
                f->close();
        };
    });
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_EQ(readFile(dir / "facts"), "found");
    EXPECT_EQ(countOf(out.out, "Missing Resource File"), 0);
}

// A small valid archive, written by Python's zipfile.
std::string makeArchive(const TempDir &dir, const std::string &name)
{
    const std::string path = dir / name;
    const std::string command = "python3 -c \"import zipfile; z = zipfile.ZipFile('" + path +
                                "', 'w', zipfile.ZIP_DEFLATED); z.writestr('config.txt', 'x' * 4000); "
                                "z.writestr('b.txt', 'hello'); z.close()\"";
    return std::system(command.c_str()) == 0 ? path : std::string();
}

TEST(StartUp, BadArchiveShowsOneMessageAndEndsStartUpWithStatusZero)
{
    TempDir fixtures;
    const std::string good = makeArchive(fixtures, "good.vmz");
    ASSERT_FALSE(good.empty());
    const std::string bytes = readFile(good);
    writeFile(fixtures / "truncated.vmz", bytes.substr(0, bytes.size() / 2));
    writeFile(fixtures / "garbage.vmz", std::string(3000, 'G'));
    writeFile(fixtures / "empty.vmz", "");
    makeDirs(fixtures / "folder.vmz");

    for (const char *name : {"truncated.vmz", "garbage.vmz", "empty.vmz", "folder.vmz", "missing.vmz"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = fixtures / name;
        const ChildOutcome out = runGame(dir, {}, [&](TestGame &game) {
            game.archivePath = path;
            game.script = [&](const HEvent &) {
                note(dir / "ran", "yes");
                return 1;
            };
        });
        ASSERT_TRUE(out.exited);
        // A leak found at exit by the sanitizer build would change the status.
        EXPECT_EQ(out.exitStatus, 0) << out.err;
        EXPECT_EQ(countOf(out.out, "Missing Resource File"), 1) << out.out;
        EXPECT_EQ(countOf(out.out, "Could not load the resource file '" + path + "'"), 1) << out.out;
        EXPECT_FALSE(fileExists(dir / "ran"));
    }

    // The good archive mounts from memory and serves its entries.
    TempDir dir;
    const ChildOutcome out = runGame(dir, {}, [&](TestGame &game) {
        game.archivePath = good;
        game.createDevices = false;
        game.afterInitialize = [&](TestGame &g) {
            HFile *f = g.m_pResourceFileSystem->openFileForRead("B.TXT");
            char text[8] = {};
            note(dir / "facts", f && f->read(text, 5) == 5 ? text : "unreadable");
            if (f)
                f->close();
        };
    });
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_EQ(readFile(dir / "facts"), "hello");
    EXPECT_EQ(countOf(out.out, "Missing Resource File"), 0);
}

TEST(StartUp, LinkFlagsComeFromTheSettingsRegistry)
{
    struct Case
    {
        std::vector<std::string> keys;
        bool links;
        bool vendor;
    } cases[] = {
        {{}, false, false},
        {{"disableLinks"}, true, false},
        {{"disableVelmoraLink"}, false, true},
        {{"disableLinks", "disableVelmoraLink"}, true, true},
    };
    for (const Case &c : cases) {
        TempDir dir;
        const ChildOutcome out = runGame(dir, {}, [&](TestGame &game) {
            HSystemRegistry *registry = getSystemRegistry();
            registry->open(nullptr, "Velmora", "TestGame");
            registry->writeValue("Other", "1", 2);
            for (const std::string &key : c.keys)
                registry->writeValue(key.c_str(), "0", 2); // the value is not looked at
            registry->close();
            game.createDevices = false;
            game.afterInitialize = [&](TestGame &g) {
                note(dir / "facts", std::to_string(g.areLinksDisabled()) + std::to_string(g.isVendorLinkDisabled()));
            };
        });
        EXPECT_EQ(out.exitStatus, 0);
        EXPECT_EQ(readFile(dir / "facts"), std::to_string(c.links) + std::to_string(c.vendor));
    }

    // A registry that cannot be opened (a home path too long) leaves both off.
    TempDir dir;
    const ChildOutcome out = runGame(dir, {}, [&](TestGame &game) {
        setenv("HOME", ("/" + std::string(1500, 'h')).c_str(), 1);
        game.createDevices = false;
        game.afterInitialize = [&](TestGame &g) {
            note(dir / "facts", std::to_string(g.areLinksDisabled()) + std::to_string(g.isVendorLinkDisabled()));
        };
    });
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_EQ(readFile(dir / "facts"), "00");
}

TEST(StartUp, ShutdownClosesTheTraceAndTearsEverythingDown)
{
    TempDir dir;
    const ChildOutcome out = runGame(dir, {"-trace", "-journal", "-s"}, [&](TestGame &game) {
        game.script = [&](const HEvent &) {
            note(dir / "during", std::string(game.m_pDisplayDevice ? "display " : "") +
                                     (game.m_pInputDevice ? "input " : "") + (game.m_pAudioDevice ? "audio" : ""));
            return 1;
        };
        game.afterInitialize = [&](TestGame &g) { g.getEventQueue().setTrace(false); };
    });
    ASSERT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0) << out.err;
    EXPECT_EQ(readFile(dir / "during"), "display input audio");
    // Every line traced before shutdown reached the file, which was closed.
    const std::string trace = readFile(dir / "trace.txt");
    EXPECT_NE(trace.find("...Creating audio device\n"), std::string::npos);
}

} // namespace
