// The player's settings in the registry: the bytes written for every key,
// the defaults of a missing file or key, and the values that loading
// brings back into range.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "game/game_test_support.h"
#include "engine/core/HString.h"
#include "game/registry_support.h"

using tilmar_test::TempDir;

namespace {

// A game object that was never started: loadSettings needs only the
// registry.
struct LoadedSettings
{
    TempDir home;
    TestTilmar game;

    TMSettings &load(const std::string &registryBytes)
    {
        EXPECT_TRUE(writeRegistry(home, registryBytes));
        EXPECT_TRUE(game.loadSettings());
        return game.m_settings;
    }
};

TMSettings settings(float sound, float music, int32_t autoHint, int32_t tileSet, int32_t background, int32_t layout,
                    int32_t fullscreen, const char *lastName)
{
    TMSettings s;
    s.soundVolume = sound;
    s.musicVolume = music;
    s.autoHint = autoHint;
    s.tileSet = tileSet;
    s.background = background;
    s.layout = layout;
    s.fullscreen = fullscreen;
    strCopy(s.lastName, lastName, sizeof s.lastName);
    return s;
}

void expectSettings(const TMSettings &expected, const TMSettings &actual)
{
    EXPECT_EQ(expected.soundVolume, actual.soundVolume);
    EXPECT_EQ(expected.musicVolume, actual.musicVolume);
    EXPECT_EQ(expected.autoHint, actual.autoHint);
    EXPECT_EQ(expected.tileSet, actual.tileSet);
    EXPECT_EQ(expected.background, actual.background);
    EXPECT_EQ(expected.layout, actual.layout);
    EXPECT_EQ(expected.fullscreen, actual.fullscreen);
    EXPECT_STREQ(expected.lastName, actual.lastName);
}

// A home directory whose registry path does not fit the registry's path
// buffer, so the registry cannot be opened.
void useUnopenableHome()
{
    const std::string home = "/tmp/" + std::string(1100, 'h');
    setenv("HOME", home.c_str(), 1);
}

} // namespace

TEST(RecordsSettings, SavedAsEightRecordsWithTheNewestKeyFirst)
{
    TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    // Start-up reads the registry but writes nothing.
    ASSERT_FALSE(tilmar_test::fileExists(registryPath(home)));

    game.m_settings = settings(0.5f, 0.75f, 0, 3, 7, 12, 1, "Ada");
    // The whole field is stored, bytes after the terminator too.
    std::memcpy(game.m_settings.lastName, "Ada\0zz", 6);
    game.saveSettings();

    const std::string expected =
        registryRecord("LastHighScoreName", field(std::string("Ada\0zz", 6), 25)) +
        registryRecord("Fullscreen", le32(1)) + registryRecord("Layout", le32(12)) +
        registryRecord("Background", le32(7)) + registryRecord("Tileset", le32(3)) +
        registryRecord("Music Volume", floatBytes(0.75f)) + registryRecord("Sound Volume", floatBytes(0.5f)) +
        registryRecord("Autohint", le32(0));
    EXPECT_EQ(expected, tilmar_test::readFile(registryPath(home)));
    stopGame(game);
}

TEST(RecordsSettings, StartUpWithoutARegistryFileUsesTheDefaults)
{
    TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    expectSettings(settings(1.0f, 0.25f, 1, 0, 0, 0, 0, ""), game.m_settings);

    const char *const names[] = {"Dov", "Maris", "Tova", "Rudd", "Ilsen", "Brant", "Oda", "Gobbler"};
    for (int layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank) {
            const TMBestTime &e = game.m_bestTimes[layout][rank];
            SCOPED_TRACE(bestTimeKey(layout, rank));
            EXPECT_STREQ(names[rank], e.name);
            EXPECT_EQ(768, e.magic);
            EXPECT_EQ(5999, e.score);
            EXPECT_EQ(5999, e.time);
            EXPECT_EQ(144, e.tilesLeft);
        }
    stopGame(game);
}

TEST(RecordsSettings, MissingKeysResetVolumesAndWindowModeButKeepTheRest)
{
    LoadedSettings fixture;
    fixture.game.m_settings = settings(0.3f, 0.9f, 0, 4, 2, 9, 1, "Zed");
    const TMSettings &loaded = fixture.load(registryRecord("Layout", le32(5)));
    expectSettings(settings(1.0f, 0.25f, 0, 4, 2, 5, 0, "Zed"), loaded);
}

TEST(RecordsSettings, StoredVolumesAreClampedToZeroToOne)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float stored;
        float loaded;
    } cases[] = {
        {-0.5f, 0.0f}, {3.0f, 1.0f}, {nan, 0.0f}, {-nan, 0.0f}, {inf, 1.0f},
        {-inf, 0.0f},  {0.4f, 0.4f}, {0.0f, 0.0f}, {1.0f, 1.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        LoadedSettings fixture;
        const TMSettings &s = fixture.load(registryRecord("Sound Volume", floatBytes(c.stored)) +
                                           registryRecord("Music Volume", floatBytes(c.stored)));
        EXPECT_EQ(c.loaded, s.soundVolume);
        EXPECT_EQ(c.loaded, s.musicVolume);
    }
}

TEST(RecordsSettings, StoredIndicesOutOfRangeWrapToTheOtherEnd)
{
    const struct
    {
        const char *key;
        int32_t stored;
        int32_t loaded;
    } cases[] = {
        {"Layout", 18, 0},          {"Layout", -1, 17},         {"Layout", 17, 17},
        {"Layout", INT_MIN, 17},    {"Layout", INT_MAX, 0},     {"Background", 10, 0},
        {"Background", 9, 9},       {"Background", INT_MAX, 0}, {"Tileset", -3, 7},
        {"Tileset", 8, 0},          {"Tileset", INT_MIN, 7},    {"Tileset", 5, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.stored));
        LoadedSettings fixture;
        const TMSettings &s = fixture.load(registryRecord(c.key, le32(static_cast<uint32_t>(c.stored))));
        const std::string key = c.key;
        const int32_t loaded = key == "Layout" ? s.layout : key == "Background" ? s.background : s.tileSet;
        EXPECT_EQ(c.loaded, loaded);
    }
}

TEST(RecordsSettings, LastNameIsCutToTwentyFourCharactersAndTerminated)
{
    LoadedSettings fixture;
    const TMSettings &s = fixture.load(registryRecord("LastHighScoreName", std::string(40, 'x')));
    EXPECT_EQ(std::string(24, 'x'), s.lastName);
}

TEST(RecordsSettings, WithoutARegistryLoadKeepsTheValuesInRangeAndSaveWritesNothing)
{
    TestTilmar game;
    game.m_settings = settings(1.0f, 1.0f, 1, -2, 4, 30, 0, "");
    useUnopenableHome();
    const std::string out = tilmar_test::captureStdout([&] {
        EXPECT_TRUE(game.loadSettings());
        game.saveSettings();
    });
    EXPECT_EQ("", out);
    // The values of construction stay (music 1.0, not the 0.25 of a
    // missing key), brought into range.
    expectSettings(settings(1.0f, 1.0f, 1, 7, 4, 0, 0, ""), game.m_settings);
}

TEST(RecordsSettings, EachStoredKeyLoadsIntoItsOwnField)
{
    // Values that differ from each other and from every default, so a key
    // read into the wrong field, or not at all, shows.
    LoadedSettings fixture;
    fixture.game.m_settings = settings(1.0f, 1.0f, 1, 0, 0, 0, 0, "");
    const TMSettings &loaded =
        fixture.load(registryRecord("Autohint", le32(0)) + registryRecord("Sound Volume", floatBytes(0.125f)) +
                     registryRecord("Music Volume", floatBytes(0.625f)) + registryRecord("Tileset", le32(6)) +
                     registryRecord("Background", le32(8)) + registryRecord("Layout", le32(11)) +
                     registryRecord("Fullscreen", le32(1)) +
                     registryRecord("LastHighScoreName", field("Quinn", TM_LAST_NAME_SIZE)));
    expectSettings(settings(0.125f, 0.625f, 0, 6, 8, 11, 1, "Quinn"), loaded);
}
