// The loading screen and its progress bar, sprite and sound loading, the
// state stack with its snapshot, and the partner link.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HPortability.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/media/H2DDisplayDevice.h"
#include "support/test_support.h"
#include "framework/framework_test_support.h"

using namespace tilmar_test;

namespace {

class LoadingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(dir / "back.tga", solidTga(640, 480, 0, 0, 255));
        writeFile(dir / "bar.tga", solidTga(100, 10, 255, 0, 0));
        writeFile(dir / "left.tga", solidTga(20, 20, 0, 255, 0));
        writeFile(dir / "sprite.tga", solidTga(4, 4, 255, 255, 255));
        ASSERT_TRUE(game.setUpInProcess());
        files = new HStandardFileSystem();
        files->mount(dir.path().c_str());
        game.m_pResourceFileSystem = files; // closed by the game
    }
    void TearDown() override { game.tearDownInProcess(); }

    uint16_t at(int x, int y) { return screenPixel(game.getDisplayDevice(), x, y); }
    void blacken()
    {
        const float black[3] = {0, 0, 0};
        game.getDisplayDevice()->clear(black);
    }

    TempDir dir;
    TestGame game;
    HStandardFileSystem *files = nullptr;
};

TEST_F(LoadingTest, ProgressBarDrawsOnlyWhatIsNew)
{
    ASSERT_TRUE(game.loadLoadingScreen("back.tga", "left.tga", nullptr, "bar.tga", 200, 300));
    blacken();
    struct Step
    {
        float fraction;
        int barPixels;     // columns of the bar on screen afterwards
        int presentedArea; // what the call presented
        bool background;   // the background was (re)painted
    } steps[] = {
        {0.0f, 0, 640 * 480, true}, {0.5f, 50, 50 * 10, false}, {0.5f, 50, 0, false},
        {1.0f, 100, 50 * 10, false}, {1.5f, 100, 0, false},     {-0.5f, 0, 640 * 480, true},
        {2.0f, 100, 100 * 10, false},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.fraction);
        if (s.background)
            blacken();
        const int32_t frames = game.getDisplayDevice()->getFrameCount();
        game.drawLoadingProgress(s.fraction, nullptr, nullptr);
        EXPECT_EQ(game.getDisplayDevice()->getFrameCount(), frames + 1); // every call presents
        EXPECT_EQ(game.getDisplayDevice()->getPresentedPixels(), s.presentedArea);
        EXPECT_NE(at(10, 10), 0); // background
        const uint16_t background = at(10, 10);
        for (int column : {0, 49, 50, 99})
            EXPECT_EQ(at(200 + column, 305) != background, column < s.barPixels) << column;
        // The left logo sits in the bottom-left corner, one pixel up.
        EXPECT_NE(at(5, 480 - 2), background);
        EXPECT_EQ(at(5, 479), background);
    }
    game.unloadLoadingScreen();
}

TEST_F(LoadingTest, LoadingScreenNeedsItsImages)
{
    EXPECT_FALSE(game.loadLoadingScreen("back.tga", "missing.tga", nullptr, "bar.tga", 0, 0));
    EXPECT_FALSE(game.loadLoadingScreen("missing.tga", nullptr, nullptr, "bar.tga", 0, 0));
    game.unloadLoadingScreen();
    EXPECT_TRUE(game.loadLoadingScreen("back.tga", nullptr, "missing.tga", "bar.tga", 0, 0));
    game.unloadLoadingScreen();
}

TEST_F(LoadingTest, ResourcesLoadBehindTheBar)
{
    VGSprite a, b;
    const HSpriteLoadItem sprites[] = {{&a, "sprite.tga"}, {nullptr, nullptr}, {&b, "sprite.tga"}};
    const char *const samples[] = {"none.wav", nullptr};
    EXPECT_TRUE(game.loadResources(sprites, 3, nullptr, 0, samples, "back.tga", nullptr, nullptr, "bar.tga", 10,
                                   10, 1.0f, nullptr, nullptr));
    EXPECT_TRUE(a.isLoaded());
    EXPECT_TRUE(b.isLoaded());
    a.unload();
    b.unload();

    VGSprite c, d;
    const HSpriteLoadItem broken[] = {{&c, "sprite.tga"}, {&d, "missing.tga"}};
    bool result = true;
    const std::string out = captureStdout([&] {
        result = game.loadResources(broken, 2, nullptr, 0, samples, "back.tga", nullptr, nullptr, "bar.tga", 10, 10,
                                    1.0f, nullptr, nullptr);
    });
    EXPECT_FALSE(result);
    EXPECT_NE(out.find("Failed to load bitmaps"), std::string::npos);
    EXPECT_FALSE(d.isLoaded());
    // A failed load lets the loading screen go too.
    EXPECT_FALSE(game.m_loadingBackgroundSprite.isLoaded());
    EXPECT_FALSE(game.m_progressBarSprite.isLoaded());
    c.unload();

    const char *const none[] = {nullptr};
    EXPECT_FALSE(game.loadSounds(nullptr, 0, none, 0.0f, 1.0f));
}

// ---- state stack ----

TEST_F(LoadingTest, StateStackOperations)
{
    EXPECT_EQ(game.getState(0), -1);
    game.setState(5);
    game.pushState(7);
    EXPECT_EQ(game.getState(0), 7);
    EXPECT_EQ(game.getState(-1), 5);
    EXPECT_EQ(game.getState(1), -1);
    EXPECT_EQ(game.getState(-2), -1);
    EXPECT_TRUE(game.isStateOnStack(5));
    EXPECT_FALSE(game.isStateOnStack(9));
    game.popState();
    EXPECT_EQ(game.getState(0), 5);
    EXPECT_FALSE(game.isStateOnStack(7)); // above the top no longer counts
    game.popState();
    game.popState(); // on an empty stack: nothing changes
    EXPECT_EQ(game.getState(0), -1);
    game.pushState(3);
    EXPECT_EQ(game.getState(0), 3);
}

TEST_F(LoadingTest, StateStackSnapshot)
{
    uint8_t snapshot[40];
    std::memset(snapshot, 0xAB, sizeof snapshot);
    EXPECT_EQ(game.saveStateStack(snapshot, 35), 0);
    EXPECT_EQ(snapshot[0], 0xAB);
    EXPECT_EQ(game.saveStateStack(snapshot, 40), 36);
    EXPECT_EQ(std::vector<uint8_t>(snapshot, snapshot + 36), std::vector<uint8_t>(36, 0xFF)); // empty
    EXPECT_EQ(snapshot[36], 0xAB);

    // A full stack: the 33rd push is refused.
    game.setState(0);
    for (int i = 1; i < 33; ++i)
        game.pushState(i);
    EXPECT_EQ(game.getState(0), 31);
    ASSERT_EQ(game.saveStateStack(snapshot, 36), 36);
    EXPECT_EQ(std::vector<uint8_t>(snapshot, snapshot + 4), (std::vector<uint8_t>{31, 0, 0, 0}));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(snapshot[4 + i], i);

    TestGame other;
    EXPECT_FALSE(other.loadStateStack(snapshot, 37));
    EXPECT_FALSE(other.loadStateStack(snapshot, 35));
    EXPECT_TRUE(other.loadStateStack(snapshot, 36));
    EXPECT_EQ(other.getState(0), 31);
    EXPECT_EQ(other.getState(-31), 0);

    // A snapshot whose top lies outside the stack changes nothing.
    for (int32_t top : {32, -2, 1000, INT32_MIN}) {
        uint8_t bad[36];
        std::memcpy(bad, snapshot, 36);
        std::memcpy(bad, &top, 4);
        EXPECT_FALSE(other.loadStateStack(bad, 36)) << top;
        EXPECT_EQ(other.getState(0), 31);
    }
    other.shutdown();
}

// The snapshot as a peer makes it with the named record: the top index
// little-endian, so its bytes 00 00 00 01 are 16777216, not 1.
TEST_F(LoadingTest, StateStackSnapshotIsTheNamedRecord)
{
    HStateStackSnapshot snapshot;
    std::memset(snapshot.states, 0xFF, sizeof snapshot.states);
    snapshot.states[0] = 4;
    snapshot.states[1] = 200;
    zephStoreLES32(&snapshot.top, 1);
    ASSERT_TRUE(game.loadStateStack(&snapshot, sizeof snapshot));
    EXPECT_EQ(game.getState(0), -56) << "entries are signed bytes";
    EXPECT_EQ(game.getState(-1), 4);

    HStateStackSnapshot saved;
    ASSERT_EQ(game.saveStateStack(&saved, sizeof saved), 36);
    EXPECT_EQ(std::memcmp(&saved, &snapshot, sizeof saved), 0);

    const uint8_t bigEndianOne[4] = {0, 0, 0, 1};
    std::memcpy(&snapshot.top, bigEndianOne, 4);
    EXPECT_FALSE(game.loadStateStack(&snapshot, sizeof snapshot));
    EXPECT_EQ(game.getState(0), -56) << "a refused snapshot changes nothing";
}

// ---- partner link ----

// Runs openPartnerURL in a child with a stub console browser on PATH that
// logs the address it was given; answers the log ("" when nothing ran).
std::string launchPartner(const std::string &config, const std::string &registryValue, bool withArchive = true)
{
    TempDir box;
    makeDirs(box / "bin");
    makeDirs(box / "res");
    writeFile(box / "bin/lynx", "#!/bin/sh\nprintf '%s\\n' \"$*\" >> " + (box / "log") + "\n", 0755);
    if (!config.empty())
        writeFile(box / "res/config.txt", config);
    const ChildOutcome out = runInChild(box.path(), [&] {
        if (chdir(box.path().c_str()) != 0)
            _exit(3);
        setenv("HOME", box.path().c_str(), 1);
        setenv("PATH", (box / "bin").c_str(), 1);
        unsetenv("DISPLAY");
        if (!registryValue.empty()) {
            HSystemRegistry *registry = getSystemRegistry();
            registry->open(nullptr, "Velmora", "TestGame");
            registry->writeValue("partnerURL", registryValue.c_str(), static_cast<int32_t>(registryValue.size() + 1));
            registry->close();
        }
        TestGame game;
        game.m_cvarManager.initCvarManager();
        if (withArchive) {
            HStandardFileSystem *files = new HStandardFileSystem();
            files->mount((box / "res").c_str());
            game.m_pResourceFileSystem = files;
        }
        game.openPartnerURL("http://default.example.com/", "Velmora", "TestGame");
    });
    EXPECT_TRUE(out.exited);
    EXPECT_EQ(out.exitStatus, 0);
    EXPECT_FALSE(fileExists(box / "pwned"));
    return readFile(box / "log");
}

TEST(PartnerLink, RegistryWinsOverConfigWhichWinsOverTheDefault)
{
    const std::string good = "line one\r\npartnerURL=http://partner.example.com/x?a=1\r\n";
    EXPECT_EQ(launchPartner("", "", false), "http://default.example.com/\n");
    EXPECT_EQ(launchPartner("", ""), "http://default.example.com/\n");
    EXPECT_EQ(launchPartner(good, ""), "http://partner.example.com/x?a=1\n");
    EXPECT_EQ(launchPartner(good, "http://registry.example.com/"), "http://registry.example.com/\n");
    EXPECT_EQ(launchPartner("", "http://registry.example.com/"), "http://registry.example.com/\n");
}

TEST(PartnerLink, MalformedOrHostileAddressesLaunchNothingHarmful)
{
    struct Case
    {
        std::string config;
        std::string registry;
        std::string launched; // "" when nothing may run
    } cases[] = {
        // No second line: the default stays.
        {"partnerURL=http://first.example.com/\r\n", "", "http://default.example.com/\n"},
        // A second line of another form empties the address: nothing runs.
        {"x\r\nhomepage=http://other.example.com/\r\n", "", ""},
        // Shell characters reach the browser as they stand and run nothing.
        {"x\r\npartnerURL=http://a.example.com/;touch${IFS}pwned\r\n", "",
         "http://a.example.com/;touch${IFS}pwned\n"},
        {"x\r\npartnerURL=http://a.example.com/`touch${IFS}pwned`\r\n", "",
         "http://a.example.com/`touch${IFS}pwned`\n"},
        // White space or a quote: nothing runs.
        {"", "http://r.example.com/$(touch pwned)", ""},
        {"", "'; touch pwned; '", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.config + " | " + c.registry);
        EXPECT_EQ(launchPartner(c.config, c.registry), c.launched);
    }
}

// Only the first 1023 bytes of "config.txt" are parsed, however long it is.
TEST(PartnerLink, ALongConfigIsParsedFromItsFirst1023Bytes)
{
    // A first line of n characters, its CR LF, then the partner line.
    auto config = [](size_t firstLine, const std::string &rest) {
        return std::string(firstLine, 'a') + "\r\n" + rest;
    };
    const std::string partner = "partnerURL=http://long.example.com/path\r\n";
    struct Case
    {
        const char *what;
        std::string config;
        std::string launched; // "" when nothing may run
    } cases[] = {
        {"both lines at the start of a long file", config(1, partner) + std::string(2000, 'z'),
         "http://long.example.com/path\n"},
        {"both lines ending at byte 1023", config(1023 - 2 - partner.size(), partner) + std::string(100, 'z'),
         "http://long.example.com/path\n"},
        // Bytes 1014 to 1023 are the start of the address, which is taken.
        {"the address cut off", config(1000, partner), "http://lon\n"},
        // The second line read is "partne", which does not match: no address.
        {"the key cut off", config(1015, partner), ""},
        // No line end in the bytes read: no second line, the default stays.
        {"a first line longer than what is read", config(1100, partner), "http://default.example.com/\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_GE(c.config.size(), 1024u);
        EXPECT_EQ(launchPartner(c.config, ""), c.launched);
    }
}

} // namespace
