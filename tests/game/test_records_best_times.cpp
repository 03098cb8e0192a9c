// The best-time tables: their 144 stored records, the records accepted from
// the registry, the ranking of a finished game and its entry into the table.
#include <gtest/gtest.h>

#include <vector>

#include "game/TMBestTimesDialog.h"
#include "game/game_dialog_support.h"
#include "game/game_test_support.h"
#include "engine/core/HString.h"
#include "game/registry_support.h"

using tilmar_test::TempDir;

namespace {

const char *const kDefaultNames[] = {"Dov", "Maris", "Tova", "Rudd", "Ilsen", "Brant", "Oda", "Gobbler"};

TMBestTime entry(const char *name, int32_t score, int32_t time, int32_t tilesLeft)
{
    TMBestTime e = makePlaceholderBestTime();
    std::memset(e.name, 0, sizeof e.name);
    strCopy(e.name, name, sizeof e.name);
    e.score = score;
    e.time = time;
    e.tilesLeft = tilesLeft;
    return e;
}

std::string bytesOf(const TMBestTime &e)
{
    return std::string(reinterpret_cast<const char *>(&e), sizeof e);
}

void useUnopenableHome()
{
    const std::string home = "/tmp/" + std::string(1100, 'h');
    setenv("HOME", home.c_str(), 1);
}

} // namespace

TEST(RecordsBestTimes, SavedAsOneHundredFortyFourRecordsWithTheNewestKeyFirst)
{
    TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    game.m_bestTimes[3][0] = entry("Ada", 100, 90, 0);
    game.saveBestTimes();

    std::string expected;
    for (int layout = TM_LAYOUT_COUNT - 1; layout >= 0; --layout)
        for (int rank = TM_BEST_TIME_RANKS - 1; rank >= 0; --rank) {
            const std::string data = layout == 3 && rank == 0
                                         ? bestTimeBytes(768, "Ada", 100, 90, 0)
                                         : bestTimeBytes(768, kDefaultNames[rank], 5999, 5999, 144);
            expected += registryRecord(bestTimeKey(layout, rank), data);
        }
    EXPECT_EQ(expected, tilmar_test::readFile(registryPath(home)));
    stopGame(game);
}

TEST(RecordsBestTimes, OnlyWholeRecordsWithTheMagicAreAccepted)
{
    const std::string valid = bestTimeBytes(768, "Eve", 10, 9, 0);
    // Bytes after the terminator are kept as stored.
    const std::string withJunk = bestTimeBytes(768, std::string("Bo\0junk", 7), 30, 29, 2);
    const std::string unterminated = le32(768) + std::string(32, 'A') + le32(20) + le32(19) + le32(0);
    const struct
    {
        int rank;
        std::string stored; // empty: no record
        std::string name;
        int32_t score, time, tilesLeft;
    } cases[] = {
        {0, valid.substr(0, 47), "nobody", 5999, 5999, 144},
        {1, bestTimeBytes(769, "Foreign", 1, 1, 0), "nobody", 5999, 5999, 144},
        {2, valid + "!", "Eve", 10, 9, 0},
        {3, "", "Rudd", 5999, 5999, 144},
        {4, unterminated, std::string(31, 'A'), 20, 19, 0},
        {5, withJunk, "Bo", 30, 29, 2},
        {6, valid.substr(0, 4), "nobody", 5999, 5999, 144},
    };

    TempDir home;
    std::string file;
    for (const auto &c : cases)
        if (!c.stored.empty())
            file += registryRecord(bestTimeKey(4, c.rank), c.stored);
    ASSERT_TRUE(writeRegistry(home, file));
    TestTilmar game;
    game.loadBestTimes();

    for (const auto &c : cases) {
        SCOPED_TRACE(c.rank);
        const TMBestTime &e = game.m_bestTimes[4][c.rank];
        EXPECT_EQ(768, e.magic);
        EXPECT_EQ(c.name, std::string(e.name, strnlen(e.name, sizeof e.name)));
        EXPECT_EQ(c.score, e.score);
        EXPECT_EQ(c.time, e.time);
        EXPECT_EQ(c.tilesLeft, e.tilesLeft);
    }
    EXPECT_EQ(0, game.m_bestTimes[4][4].name[31]);
    EXPECT_EQ(withJunk, bytesOf(game.m_bestTimes[4][5]));
    EXPECT_STREQ("Gobbler", game.m_bestTimes[4][7].name);
    EXPECT_STREQ("Dov", game.m_bestTimes[0][0].name);
}

TEST(RecordsBestTimes, WithoutARegistryLoadAndSaveWarnAndNameTheSupportAddress)
{
    TestTilmar game;
    game.m_bestTimes[2][1] = entry("Kept", 1, 1, 0);
    useUnopenableHome();

    const std::string loadOut = tilmar_test::captureStdout([&] { game.loadBestTimes(); });
    EXPECT_NE(std::string::npos, loadOut.find("Warning"));
    EXPECT_NE(std::string::npos,
              loadOut.find("Tilmar MahJong could not load high scores.  Please contact support@velmora.example.com"));
    for (int layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
            EXPECT_EQ(bytesOf(makePlaceholderBestTime()), bytesOf(game.m_bestTimes[layout][rank]));

    game.m_bestTimes[2][1] = entry("Kept", 1, 1, 0);
    const std::string saveOut = tilmar_test::captureStdout([&] { game.saveBestTimes(); });
    EXPECT_NE(std::string::npos,
              saveOut.find("Tilmar MahJong could not open registry.  Please contact support@velmora.example.com"));
    EXPECT_STREQ("Kept", game.m_bestTimes[2][1].name);
}

TEST(RecordsBestTimes, FewerTilesThenLowerScoreThenLowerTimeGoFirstAndTiesGoAfter)
{
    const TMBestTime e = entry("E", 100, 80, 4);
    const struct
    {
        int32_t tilesLeft, score, time;
        bool before;
    } cases[] = {
        {3, 5000, 5000, true},  // fewer tiles beats any score
        {5, 1, 1, false},       // more tiles loses to any score
        {4, 99, 5000, true},    // same tiles, lower score
        {4, 101, 1, false},     // same tiles, higher score
        {4, 100, 79, true},     // same tiles and score, lower time
        {4, 100, 81, false},
        {4, 100, 80, false},    // a tie goes after the entry
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.tilesLeft) + "/" + std::to_string(c.score) + "/" + std::to_string(c.time));
        EXPECT_EQ(c.before, goesBefore(c.tilesLeft, c.score, c.time, e));
    }
}

// A started game whose enter-name and best-times dialogs the test drives
// with queued input.
class RecordsEntry : public GameDialogTest
{
protected:
    // Layout `layout` holds eight won entries named E0 to E7.
    std::vector<TMBestTime> fillTable(int layout, int32_t scoreStep, int32_t timeStep)
    {
        std::vector<TMBestTime> table;
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank) {
            const std::string name = "E" + std::to_string(rank);
            table.push_back(entry(name.c_str(), scoreStep * (rank + 1), timeStep * (rank + 1), 0));
            game.m_bestTimes[layout][rank] = table.back();
        }
        return table;
    }
    void finishGame(int layout, int32_t tilesLeft, int32_t score, int32_t time)
    {
        game.m_settings.layout = layout;
        game.m_board.tilesLeft = tilesLeft;
        game.m_statistics.finalScore = score;
        game.m_statistics.finalTime = time;
    }
};

TEST_F(RecordsEntry, AGameThatRanksBelowAllEightIsNotEnteredAndShowsNoDialog)
{
    const struct
    {
        int32_t tilesLeft, score, time;
    } cases[] = {
        {0, 900, 800}, // won, but all eight won faster
        {0, 800, 800}, // equal to the last entry
        {6, 1, 1},     // tiles left rank below every won game
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.score);
        const std::vector<TMBestTime> before = fillTable(2, 100, 100);
        finishGame(2, c.tilesLeft, c.score, c.time);
        game.m_lastEntryLayout = 5;
        game.m_lastEntryRank = 5;
        everyFrame(nullptr);

        game.enterBestTime();
        EXPECT_EQ(-1, game.m_lastEntryLayout);
        EXPECT_EQ(-1, game.m_lastEntryRank);
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
            EXPECT_EQ(bytesOf(before[rank]), bytesOf(game.m_bestTimes[2][rank]));
        EXPECT_EQ(0, game.frames) << "a dialog was shown";
        EXPECT_FALSE(tilmar_test::fileExists(registryPath(home))) << "something was saved";
    }
}

TEST_F(RecordsEntry, AnEntryMovesTheLowerRanksDownTakesTheTypedNameAndIsSaved)
{
    const struct
    {
        int32_t score, time;
        int rank;
        const char *lastName; // the enter-name dialog's starting text
        std::string typing;   // '\b' is a backspace
        std::string name;
    } cases[] = {
        {40, 15, 3, "Zed", "\b\b\bAda", "Ada"},        // same score as rank 3, faster
        {40, 20, 4, "Bo", "b", "Bob"},                   // equal to rank 3: the earlier entry stays ahead
        {5, 100, 0, "x", "\babcdefghijkl", "abcdefghijkl"}, // best of all; twelve characters kept whole
        {80, 0, 7, "Al", "\b\b", ""},                    // the last place; an empty name
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rank);
        const std::vector<TMBestTime> old = fillTable(6, 10, 5);
        finishGame(6, 0, c.score, c.time);
        strCopy(game.m_settings.lastName, c.lastName, sizeof game.m_settings.lastName);
        for (char ch : c.typing)
            post(dialog_events::typed(ch));
        // Enter closes the enter-name dialog, then the best-times dialog.
        post(dialog_events::enter());
        post(dialog_events::enter());
        int shownLayout = -1;
        everyFrame([&](int) {
            if (auto *shown = dynamic_cast<TMBestTimesDialog *>(VGDialog::getOpenDialog(0)))
                shownLayout = shown->getLayout();
        });

        game.enterBestTime();
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(6, shownLayout);
        EXPECT_EQ(6, game.m_lastEntryLayout);
        EXPECT_EQ(c.rank, game.m_lastEntryRank);
        const TMBestTime(&table)[TM_BEST_TIME_RANKS] = game.m_bestTimes[6];
        for (int rank = 0; rank < c.rank; ++rank)
            EXPECT_EQ(bytesOf(old[rank]), bytesOf(table[rank]));
        for (int rank = c.rank + 1; rank < TM_BEST_TIME_RANKS; ++rank)
            EXPECT_EQ(bytesOf(old[rank - 1]), bytesOf(table[rank]));
        EXPECT_EQ(bytesOf(entry(c.name.c_str(), c.score, c.time, 0)), bytesOf(table[c.rank]));
        EXPECT_EQ(c.name, game.m_settings.lastName);

        // The whole table is stored at once, and so is the name, which a
        // player who quits next would otherwise lose.
        const std::string file = tilmar_test::readFile(registryPath(home));
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
            EXPECT_EQ(bytesOf(table[rank]), registryValue(file, bestTimeKey(6, rank)));
        const std::string stored = registryValue(file, "LastHighScoreName");
        EXPECT_EQ(static_cast<size_t>(TM_LAST_NAME_SIZE), stored.size());
        EXPECT_STREQ(c.name.c_str(), stored.c_str()); // what follows the name does not count
        drain();
    }
}

TEST_F(RecordsEntry, LostGamesPlaceByTheirTilesLeftAndKeepThemInTheRecord)
{
    // Start-up leaves the default holders, each with 144 tiles left.
    strCopy(game.m_settings.lastName, "Pat", sizeof game.m_settings.lastName);
    const struct
    {
        int32_t tilesLeft, score, time;
        int rank;
    } games[] = {
        {10, 500, 400, 0}, // any tiles fewer than 144 beat the holders
        {12, 90, 80, 1},   // more tiles than the first: below it, whatever its score
        {10, 450, 460, 0}, // same tiles as the best, lower score
        {0, 3000, 2900, 0}, // a won game goes above every lost one
    };
    std::vector<TMBestTime> expected(TM_BEST_TIME_RANKS);
    for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
        expected[rank] = entry(kDefaultNames[rank], 5999, 5999, 144);
    for (const auto &g : games) {
        SCOPED_TRACE(std::to_string(g.tilesLeft) + "/" + std::to_string(g.score));
        finishGame(9, g.tilesLeft, g.score, g.time);
        post(dialog_events::enter());
        post(dialog_events::enter());
        everyFrame(nullptr);
        game.enterBestTime();
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(g.rank, game.m_lastEntryRank);
        expected.insert(expected.begin() + g.rank, entry("Pat", g.score, g.time, g.tilesLeft));
        expected.pop_back();
        for (int rank = 0; rank < TM_BEST_TIME_RANKS; ++rank) {
            const TMBestTime &e = game.m_bestTimes[9][rank];
            EXPECT_EQ(std::string(expected[rank].name), e.name) << rank;
            EXPECT_EQ(expected[rank].tilesLeft, e.tilesLeft) << rank;
            EXPECT_EQ(expected[rank].score, e.score) << rank;
            EXPECT_EQ(expected[rank].time, e.time) << rank;
            EXPECT_EQ(768, e.magic) << rank;
        }
        drain();
    }
}
