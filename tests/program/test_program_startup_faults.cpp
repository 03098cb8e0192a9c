// Faults the real program meets as it starts: a resource archive it cannot
// use, and a sound output that does not open.
#include <gtest/gtest.h>

#include <cerrno>

#include "program/program_support.h"

namespace {

using namespace program_test;
using tilmar_test::TempDir;

uint32_t le32At(const std::string &bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// The archive with every entry, header and data, overwritten by zeros;
// its central directory, at the end, is left whole, so it still mounts.
std::string zeroedEntries(std::string archive)
{
    constexpr size_t kEndRecordSize = 22;  // no comment follows it
    const size_t end = archive.size() - kEndRecordSize;
    EXPECT_EQ(le32At(archive, end), 0x06054b50u) << "no end record where it was looked for";
    const size_t directory = le32At(archive, end + 16);
    std::fill(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(std::min(directory, end)), '\0');
    return archive;
}

std::string garbage(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char &byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

// An archive that is there but of no use shows the message box that names
// it, once, and the program ends with status 0 without playing.
TEST(ProgramStartupFaults, AnArchiveThatCannotBeUsedIsReportedAndTheProgramEnds)
{
    const std::string archive = tilmar_test::readFile(std::string(TILMAR_BINARY_DIR) + "/Resources/tilmar.vmz");
    ASSERT_GT(archive.size(), 1000u);
    enum Place { kFile, kUnreadableFile, kFolder };
    const std::string missing = "| Missing Resource File |";
    const struct
    {
        const char *what;
        Place place;
        std::string bytes;
        std::string title;
        std::string text;  // empty: the text that names the archive
    } cases[] = {
        {"unreadable", kUnreadableFile, archive, missing, ""},
        {"a folder in its place", kFolder, "", missing, ""},
        {"empty", kFile, "", missing, ""},
        {"cut to its first half", kFile, archive.substr(0, archive.size() / 2), missing, ""},
        {"garbage", kFile, garbage(64 * 1024), missing, ""},
        // It mounts; the pictures behind the loading screen cannot be read.
        {"its entries zeroed", kFile, zeroedEntries(archive), "| Error |", "Failed to load bitmaps"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir home;
        Launch launch;
        launch.program = placeProgram(home, false);
        const std::string path = home / "Resources/tilmar.vmz";
        if (c.place == kFolder) {
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        } else {
            ASSERT_TRUE(tilmar_test::writeFile(path, c.bytes, c.place == kUnreadableFile ? 0 : 0644));
            launch.unprivileged = c.place == kUnreadableFile;
        }
        DemoWriter demo(4000);
        demo.quit();

        const RunResult run = runDemo(home, demo, launch, 30);
        ASSERT_TRUE(run.exited) << run.describe();
        EXPECT_EQ(run.exitStatus, 0) << run.describe();
        const std::string text = c.text.empty() ? "Could not load the resource file '" + path + "'" : c.text;
        const size_t box = run.out.find(c.title);
        EXPECT_NE(box, std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\n" + text + "\n"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find(c.title, box + 1), std::string::npos) << "shown more than once:\n" << run.out;
    }
}

// Without a sound output the game runs silent and is played to its end.
// The trace tells of the missing device; on screen at most the alert of an
// audio system that would not start.
TEST(ProgramStartupFaults, WithoutSoundOutputTheGameIsPlayedSilentToItsEnd)
{
    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Quietly"));
    const struct
    {
        const char *what;
        std::vector<std::string> environment;
    } cases[] = {
        {"a driver that does not exist", {"SDL_AUDIODRIVER=nosuchdriver"}},
        {"a driver that cannot open its output",
         {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/nonexistent-folder/sound.raw"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir home;
        Launch launch;
        launch.environment = c.environment;
        launch.options = {"-trace"};
        const RunResult run = runDemo(home, won.demo, launch);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        EXPECT_NE(tilmar_test::readFile(home / "trace.txt").find("...***failed to create audio device***\n"),
                  std::string::npos)
            << tilmar_test::readFile(home / "trace.txt");
        EXPECT_TRUE(run.out.empty() || run.out.find("\ncreateAudioDevice: SDL_Init() failed: ") != std::string::npos)
            << run.out;
        std::map<std::string, std::string> registry = readRegistry(home);
        EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Quietly", won.seconds, won.seconds, 0));
    }
}

} // namespace
