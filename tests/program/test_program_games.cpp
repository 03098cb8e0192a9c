// Whole games played by the real program from demo files: won, stuck,
// with penalties, and left through the question on quitting. The best time
// each one stores is the check that the program went where the demo led it.
#include <gtest/gtest.h>

#include "program/program_support.h"

namespace {

using namespace program_test;
using demo::BoardPlay;
using demo::TilePair;

int32_t seconds(uint64_t ms)
{
    return static_cast<int32_t>(ms / 1000);
}

TEST(ProgramGames, WonClassicGameStoresItsBestTimeAndTheNameForTheNextStart)
{
    tilmar_test::TempDir home;
    {
        WonGame won;
        ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Winifred"));
        const RunResult run = runDemo(home, won.demo);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        std::map<std::string, std::string> registry = readRegistry(home);

        EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Winifred", won.seconds, won.seconds, 0));
        // The holder of the first place moved down one.
        const TMBestTime second = decodeBestTime(registry["HS:0x1"]);
        EXPECT_EQ(second.magic, TM_BEST_TIME_MAGIC);
        EXPECT_STREQ(second.name, "Dov");
        EXPECT_EQ(second.score, TM_PLACEHOLDER_SECONDS);
        EXPECT_EQ(second.tilesLeft, TM_PLACEHOLDER_TILES);
        EXPECT_EQ(registry.count("HS:17x7"), 1u) << "every table is written";
        // The player quit right after typing it: the name is kept all the same.
        const std::string lastName = registry["LastHighScoreName"];
        ASSERT_EQ(lastName.size(), static_cast<size_t>(TM_LAST_NAME_SIZE));
        EXPECT_STREQ(lastName.c_str(), "Winifred");
    }
    {
        // The next start offers that name, not the login name: Enter on it
        // enters the same game again, which goes below its equal.
        WonGame won;
        ASSERT_NO_FATAL_FAILURE(writeWonBoard(won));
        continueToName(won.demo);
        confirmName(won.demo);
        won.demo.quit();
        const RunResult run = runDemo(home, won.demo);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        std::map<std::string, std::string> registry = readRegistry(home);

        EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Winifred", won.seconds, won.seconds, 0));
        EXPECT_TRUE(storedBestTime(registry["HS:0x1"], "Winifred", won.seconds, won.seconds, 0));
        EXPECT_STREQ(decodeBestTime(registry["HS:0x2"]).name, "Dov");
    }
}

TEST(ProgramGames, DeadEndEndsInTheNoMoreMovesDialog)
{
    const uint32_t seed = demo::findStuckSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    BoardPlay play(seed, 0);
    const std::vector<TilePair> pairs = play.greedy();

    DemoWriter demo(seed);
    demo.wait(700);
    const uint64_t start = demo.click(startButton());
    const uint64_t last = playPairs(demo, play, pairs, kClickGap);
    ASSERT_NE(last, 0u);
    const int32_t tilesLeft = play.board().tilesLeft;
    ASSERT_GT(tilesLeft, 0);
    ASSERT_FALSE(play.board().findPair(nullptr, nullptr, 0));
    // The last match opened the dialog; the player ends the game there.
    demo.wait(2000);
    demo.click(demo::noMoreMovesEndGame());
    std::map<std::string, std::string> registry = finishAndRun(demo, "Stuckley");

    // The time of the lost game is taken at its last match, before the
    // dialog; a lost game still ranks above the placeholders' 144 tiles.
    const int32_t secs = seconds(last - start);
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Stuckley", secs, secs, tilesLeft));
}

// Splits greedy play from here at a shuffle after which greedy play still
// clears the board, the generator going on from where the deal left it;
// tries the cuts from 20 tiles before the end on.
bool findShufflePoint(const BoardPlay &play, std::vector<TilePair> &before, std::vector<TilePair> &after)
{
    const std::vector<TilePair> rest = play.greedy();
    for (size_t cut = rest.size() > 10 ? rest.size() - 10 : 0; cut < rest.size(); ++cut) {
        BoardPlay trial = play;
        for (size_t i = 0; i < cut; ++i)
            trial.removePair(rest[i]);
        trial.shuffle();
        after = trial.greedy();
        if (static_cast<int32_t>(after.size()) * 2 == trial.board().tilesLeft) {
            before.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(cut));
            return true;
        }
    }
    return false;
}

TEST(ProgramGames, HintUndoAndShufflePenaltiesCountInTheScore)
{
    const uint32_t seed = demo::findWinningSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    BoardPlay play(seed, 0);
    const std::vector<TilePair> pairs = play.greedy();
    constexpr std::ptrdiff_t kPairsBeforeUndo = 10;

    DemoWriter demo(seed);
    demo.wait(700);
    const uint64_t start = demo.click(startButton());
    ASSERT_NE(playPairs(demo, play, {pairs.begin(), pairs.begin() + kPairsBeforeUndo}, kClickGap), 0u);
    demo.wait(kClickGap);
    demo.key(KC_U, 'u');  // the last pair comes back: 60 s
    play.undo();
    demo.wait(kClickGap);
    demo.key(KC_H, 'h');  // 30 s
    demo.wait(kClickGap);
    demo.key(KC_F, 'f');  // 30 s
    std::vector<TilePair> beforeShuffle;
    std::vector<TilePair> afterShuffle;
    ASSERT_TRUE(findShufflePoint(play, beforeShuffle, afterShuffle));
    ASSERT_NE(playPairs(demo, play, beforeShuffle, kClickGap), 0u);
    demo.wait(kClickGap);
    demo.key(KC_S, 's');  // 120 s
    play.shuffle();
    const uint64_t last = playPairs(demo, play, afterShuffle, kClickGap);
    ASSERT_NE(last, 0u);
    ASSERT_EQ(play.board().tilesLeft, 0);
    std::map<std::string, std::string> registry = finishAndRun(demo, "Penelope");

    const int32_t secs = seconds(last - start);
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Penelope", secs + 60 + 30 + 30 + 120, secs, 0));
}

TEST(ProgramGames, QuitInARunningGameAsksRefusedThenAccepted)
{
    const uint32_t seed = demo::findWinningSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    BoardPlay play(seed, 0);
    const std::vector<TilePair> pairs = play.greedy();
    ASSERT_FALSE(pairs.empty());
    const size_t half = pairs.size() / 2;

    DemoWriter demo(seed);
    demo.wait(700);
    const uint64_t start = demo.click(startButton());
    ASSERT_NE(playPairs(demo, play, {pairs.begin(), pairs.begin() + half}, kClickGap), 0u);
    // Asked; Enter keeps the game, and the question's time is not played.
    demo.wait(kClickGap);
    const uint64_t asked = demo.quit();
    demo.wait(7000);
    const uint64_t refused = demo.enter();
    const uint64_t last = playPairs(demo, play, {pairs.begin() + half, pairs.end()}, kClickGap);
    ASSERT_NE(last, 0u);
    enterBestTimeName(demo, "Refuser");
    // A second game, left through the question's OK button.
    demo.click(startButton());
    demo.wait(2000);
    demo.quit();
    demo.wait(1000);
    demo.click(demo::areYouSureOk());
    std::map<std::string, std::string> registry = runInFreshHome(demo);

    // The first game went on to its end after the refusal.
    const int32_t secs = seconds(last - start - (refused - asked));
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Refuser", secs, secs, 0));
    // The name entered for the first game is stored.
    const std::string lastName = registry["LastHighScoreName"];
    ASSERT_EQ(lastName.size(), static_cast<size_t>(TM_LAST_NAME_SIZE));
    EXPECT_STREQ(lastName.c_str(), "Refuser");
}

} // namespace
