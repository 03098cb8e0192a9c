// tilmar-static: the nine third-party libraries linked in, none of them left
// for the loader to find, and the program plays as tilmar does.
#include <gtest/gtest.h>

#include "program/program_support.h"

namespace {

using namespace program_test;

// The sonames the program's dynamic section asks the loader for, as
// readelf reads them.
std::vector<std::string> neededLibraries(const std::string &program)
{
    tilmar_test::TempDir dir;
    const tilmar_test::ChildOutcome run = tilmar_test::runInChild(dir.path(), [&] {
        execlp("readelf", "readelf", "--dynamic", "--wide", program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    });
    EXPECT_TRUE(run.exited && run.exitStatus == 0) << "readelf failed on " << program << ":\n" << run.err;
    std::vector<std::string> needed;
    size_t at = 0;
    while ((at = run.out.find("(NEEDED)", at)) != std::string::npos) {
        const size_t open = run.out.find('[', at);
        const size_t close = run.out.find(']', open);
        if (open == std::string::npos || close == std::string::npos)
            break;
        needed.push_back(run.out.substr(open + 1, close - open - 1));
        at = close;
    }
    return needed;
}

// Whether the soname is one of the library's: "lib<stem>" then a dot, a
// dash or the version digits (libpng16, liblua5.1, libSDL-1.2), so that
// libvorbis is not libvorbisfile and libz is not libzstd.
bool isLibrary(const std::string &soname, const std::string &stem)
{
    const std::string head = "lib" + stem;
    if (soname.compare(0, head.size(), head) != 0 || soname.size() == head.size())
        return false;
    const char next = soname[head.size()];
    return next == '.' || next == '-' || (next >= '0' && next <= '9');
}

std::vector<std::string> libraryNeeded(const std::vector<std::string> &needed, const std::string &stem)
{
    std::vector<std::string> found;
    for (const std::string &soname : needed)
        if (isLibrary(soname, stem))
            found.push_back(soname);
    return found;
}

TEST(ProgramStatic, NoneOfTheNineLibrariesIsLeftToTheLoader)
{
    const struct
    {
        const char *stem;
        bool calledByTilmar;  // tilmar's own code calls it, so tilmar needs it by name
    } libraries[] = {
        {"SDL", true}, {"vorbisfile", true}, {"vorbis", false}, {"ogg", false},  {"z", false},
        {"minizip", true}, {"jpeg", true},  {"png", true},     {"lua", true},
    };
    const std::vector<std::string> shared = neededLibraries(programPath("tilmar"));
    const std::vector<std::string> linkedIn = neededLibraries(programPath("tilmar-static"));
    ASSERT_FALSE(shared.empty()) << "no dynamic section read from tilmar";
    // Still a dynamically linked program: the C library comes from the system.
    ASSERT_FALSE(libraryNeeded(linkedIn, "c").empty()) << "tilmar-static needs " << joined(linkedIn);

    for (const auto &library : libraries) {
        SCOPED_TRACE(library.stem);
        // The shared program shows that the reading finds a library that is there.
        if (library.calledByTilmar) {
            EXPECT_FALSE(libraryNeeded(shared, library.stem).empty()) << "tilmar needs " << joined(shared);
        }
        EXPECT_EQ(joined(libraryNeeded(linkedIn, library.stem)), "") << "tilmar-static needs " << joined(linkedIn);
    }
}

TEST(ProgramStatic, WonGameStoresItsBestTime)
{
    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Stella"));
    Launch launch;
    launch.program = programPath("tilmar-static");
    std::map<std::string, std::string> registry = runInFreshHome(won.demo, launch);

    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Stella", won.seconds, won.seconds, 0));
    EXPECT_STREQ(decodeBestTime(registry["HS:0x1"]).name, "Dov");
}

} // namespace
