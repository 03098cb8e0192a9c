// The player's help and its price: hints (stepping through the pairs, the
// find-match look with a tile selected, the no-match case), the automatic
// hint, undo and shuffle, and the clock that shows the penalties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "framework/UIControl.h"
#include "game/board_support.h"
#include "game/game_test_support.h"

namespace {

constexpr uint64_t kStart = kGameStart;

// Present tiles that another tile covers completely (one lies right on
// them), and visible ones that are not free (neighbours on both sides).
std::vector<TMTile *> hiddenTiles(TMBoard &board)
{
    std::vector<TMTile *> tiles;
    for (TMTile &tile : board.tiles)
        if (tile.present && !board.isVisible(&tile))
            tiles.push_back(&tile);
    return tiles;
}

std::vector<TMTile *> visibleBlockedTiles(TMBoard &board)
{
    std::vector<TMTile *> tiles;
    for (TMTile &tile : board.tiles)
        if (tile.present && board.isVisible(&tile) && !board.isFree(&tile) &&
            !board.tileAt(tile.x, tile.y, tile.z + 1, true))
            tiles.push_back(&tile);
    return tiles;
}

// The undo control, or a stand-in while the game has none of its own.
class UndoControlInReach
{
public:
    explicit UndoControlInReach(TestTilmar &game) : m_game(game)
    {
        if (!game.m_pUndoControl)
            game.m_pUndoControl = m_own = new UIControl(nullptr);
        game.m_pUndoControl->setEnabled(true);
    }
    ~UndoControlInReach()
    {
        if (m_own) {
            m_game.m_pUndoControl = nullptr;
            delete m_own;
        }
    }
    UIControl *get() const { return m_game.m_pUndoControl; }

private:
    TestTilmar &m_game;
    UIControl *m_own = nullptr;
};

} // namespace

TEST(GameHint, EachUserHintShowsTheNextPairAndCostsThirtySeconds)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    TMBoard &board = play.board;
    ASSERT_GE(board.countAvailablePairs(), 2);

    const char keys[] = {'h', 'f', 'h', 'h'};
    for (int32_t n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        clearVoices(game);
        const uint64_t at = kStart + 1000 * n;
        deliver(game, keyPress(keys[n - 1], at));
        TMTile *first = nullptr;
        TMTile *second = nullptr;
        ASSERT_TRUE(board.findPair(&first, &second, n));
        EXPECT_EQ(first, game.m_hintTiles[0]);
        EXPECT_EQ(second, game.m_hintTiles[1]);
        EXPECT_EQ(nullptr, game.m_hintTiles[2]);
        EXPECT_EQ(nullptr, game.m_hintTiles[3]);
        EXPECT_EQ(at, game.m_hintTime.getTime64());
        EXPECT_EQ(n, game.getStatistics().hintsUsed);
        EXPECT_EQ(30 * n, game.getPenaltySeconds());
        EXPECT_TRUE(soundStarted(game, "sound/tm_hint.ogg"));
    }
    TMTile *firstOfOne = nullptr;
    TMTile *firstOfTwo = nullptr;
    board.findPair(&firstOfOne, nullptr, 1);
    board.findPair(&firstOfTwo, nullptr, 2);
    EXPECT_NE(firstOfOne, firstOfTwo) << "the board should offer the hints different pairs";

    // The automatic hint asks with the count as it stands and is free.
    clearVoices(game);
    deliver(game, gameEvent(ET_TIMESTAMP, kStart + 45001));
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    ASSERT_TRUE(board.findPair(&first, &second, 4));
    EXPECT_EQ(first, game.m_hintTiles[0]);
    EXPECT_EQ(second, game.m_hintTiles[1]);
    EXPECT_EQ(4, game.getStatistics().hintsUsed);
    EXPECT_EQ(120, game.getPenaltySeconds());
    EXPECT_FALSE(soundStarted(game, "sound/tm_hint.ogg"));
}

TEST(GameHint, WithATileSelectedShowsItsVisiblePartnersOrTheNoMatchOverlay)
{
    struct Case
    {
        const char *name;
        int32_t visibleBlocked; // partners of each sort given the selected tile's kind
        int32_t hidden;
        int32_t free;
        bool byUser;
    };
    const Case cases[] = {
        {"partners free, blocked and covered", 1, 1, 1, true},
        {"all partners covered: no match", 0, 3, 0, true},
        {"all partners covered, automatic hint", 0, 3, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        TMBoard &board = play.board;
        TMTile *const selected = play.first;

        std::vector<TMTile *> partners;
        std::vector<TMTile *> hidden = hiddenTiles(board);
        std::vector<TMTile *> blocked = visibleBlockedTiles(board);
        std::vector<TMTile *> free;
        for (TMTile &tile : board.tiles)
            if (tile.present && &tile != selected && board.isFree(&tile))
                free.push_back(&tile);
        ASSERT_GE(hidden.size(), 3u);
        ASSERT_GE(blocked.size(), 1u);
        ASSERT_GE(free.size(), 1u);
        partners.insert(partners.end(), blocked.begin(), blocked.begin() + c.visibleBlocked);
        partners.insert(partners.end(), hidden.begin(), hidden.begin() + c.hidden);
        partners.insert(partners.end(), free.begin(), free.begin() + c.free);
        std::vector<TMTile *> keep = {selected};
        for (TMTile *partner : partners) {
            ASSERT_TRUE(giveKind(board, partner, selected->kind, keep));
            keep.push_back(partner);
        }
        deliver(game, clickOn(game, selected, kStart + 10));
        ASSERT_EQ(selected, board.selected);
        clearVoices(game);

        if (c.byUser)
            deliver(game, keyPress('h', kStart + 20000));
        else
            deliver(game, gameEvent(ET_TIMESTAMP, kStart + 45001));

        // The visible partners in index order, after the selected tile.
        std::vector<TMTile *> expected;
        for (TMTile &tile : board.tiles)
            if (&tile != selected && tile.kind == selected->kind && board.isVisible(&tile))
                expected.push_back(&tile);
        if (!expected.empty())
            expected.insert(expected.begin(), selected);
        expected.resize(TM_HINT_TILES, nullptr);
        for (int32_t i = 0; i < TM_HINT_TILES; ++i)
            EXPECT_EQ(expected[i], game.m_hintTiles[i]) << "hint tile " << i;

        const bool noMatch = expected[0] == nullptr;
        EXPECT_EQ(noMatch && c.byUser ? kStart + 20000 : 0, game.m_noMatchTime.getTime64());
        EXPECT_EQ(c.byUser ? 30 : 0, game.getPenaltySeconds());
        EXPECT_EQ(c.byUser ? 1 : 0, game.getStatistics().hintsUsed);
        EXPECT_EQ(c.byUser, soundStarted(game, "sound/tm_hint.ogg"));
        EXPECT_EQ(selected, board.selected);
    }
}

TEST(GameHint, ABoardWithoutPairsStillChargesAUserHint)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    setUpBoard(game.m_board, {{0, 4, 0, 1, 1}, {6, 4, 0, 2, 2}, {12, 4, 0, 3, 3}});
    deliver(game, keyPress('h', kStart + 1000));
    EXPECT_EQ(nullptr, game.m_hintTiles[0]);
    EXPECT_EQ(0u, game.m_noMatchTime.getTime64());
    EXPECT_EQ(1, game.getStatistics().hintsUsed);
    EXPECT_EQ(30, game.getPenaltySeconds());
}

TEST(GameHint, AutomaticHintWaitsFortyFiveSecondsOfUnpausedTime)
{
    struct Case
    {
        const char *name;
        int32_t autoHint;
        int32_t state;
        uint64_t pauseFrom, pauseTo; // 0, 0: no pause
        uint64_t matchAt;            // 0: no progress after the start
        uint64_t at;
        bool fires;
    };
    const Case cases[] = {
        {"at 45 000 ms", 1, TM_STATE_PLAYING, 0, 0, 0, 45000, false},
        {"at 45 001 ms", 1, TM_STATE_PLAYING, 0, 0, 0, 45001, true},
        {"switched off", 0, TM_STATE_PLAYING, 0, 0, 0, 45001, false},
        {"title screen", 1, TM_STATE_TITLE, 0, 0, 0, 45001, false},
        {"10 s paused, at 55 000 ms", 1, TM_STATE_PLAYING, 1000, 11000, 0, 55000, false},
        {"10 s paused, at 55 001 ms", 1, TM_STATE_PLAYING, 1000, 11000, 0, 55001, true},
        {"a match restarts the wait", 1, TM_STATE_PLAYING, 0, 0, 20000, 65000, false},
        {"45 001 ms after a match", 1, TM_STATE_PLAYING, 0, 0, 20000, 65001, true},
        // The whole paused time counts, also a pause before the last match.
        {"pause before the match, 45 001 ms after it", 1, TM_STATE_PLAYING, 1000, 11000, 20000, 65001, false},
        {"pause before the match, 55 001 ms after it", 1, TM_STATE_PLAYING, 1000, 11000, 20000, 75001, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.m_settings.autoHint = c.autoHint;
        if (c.pauseTo) {
            game.at(kStart + c.pauseFrom);
            game.setPaused(true);
            game.at(kStart + c.pauseTo);
            game.setPaused(false);
        }
        if (c.matchAt) {
            deliver(game, clickOn(game, play.first, kStart + c.matchAt));
            deliver(game, clickOn(game, play.second, kStart + c.matchAt));
            ASSERT_EQ(142, game.m_board.tilesLeft);
        }
        game.setGameState(c.state);
        const uint64_t progress = game.m_lastProgressTime.getTime64();
        clearVoices(game);

        EXPECT_EQ(0, deliver(game, gameEvent(ET_TIMESTAMP, kStart + c.at)));

        EXPECT_EQ(c.fires, game.m_hintTiles[0] != nullptr);
        EXPECT_EQ(c.fires, game.m_hintTiles[1] != nullptr);
        EXPECT_EQ(c.fires ? kStart + c.at : progress, game.m_lastProgressTime.getTime64());
        EXPECT_EQ(0, game.getStatistics().hintsUsed);
        EXPECT_EQ(0, game.getPenaltySeconds());
        EXPECT_EQ(0u, game.m_noMatchTime.getTime64());
        EXPECT_FALSE(soundStarted(game, "sound/tm_hint.ogg"));
    }
}

TEST(GameUndo, EveryUndoCostsSixtySecondsEvenWithNothingToUndo)
{
    enum Setup { NOTHING, MATCH, MATCH_AND_SELECT };
    struct Case
    {
        const char *name;
        int32_t state;
        bool paused;
        Setup setup;
        int32_t tilesLeftAfter;
    };
    const Case cases[] = {
        {"empty stack on the title screen", TM_STATE_TITLE, false, NOTHING, 144},
        {"empty stack in a game", TM_STATE_PLAYING, false, NOTHING, 144},
        {"after a match", TM_STATE_PLAYING, false, MATCH, 144},
        {"after a match, while paused", TM_STATE_PLAYING, true, MATCH, 144},
        {"with a tile selected", TM_STATE_PLAYING, false, MATCH_AND_SELECT, 144},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        TMBoard &board = play.board;
        TMTile *const first = play.first;
        TMTile *const second = play.second;
        if (c.setup != NOTHING) {
            deliver(game, clickOn(game, first, kStart + 100));
            deliver(game, clickOn(game, second, kStart + 200));
            ASSERT_EQ(142, board.tilesLeft);
        }
        TMTile *selected = nullptr;
        if (c.setup == MATCH_AND_SELECT) {
            ASSERT_TRUE(board.findPair(&selected, nullptr, 0));
            deliver(game, clickOn(game, selected, kStart + 300));
            ASSERT_EQ(selected, board.selected);
            game.m_hintTiles[0] = selected;
        }
        game.setGameState(c.state);
        game.at(kStart + 400);
        game.setPaused(c.paused);

        deliver(game, keyPress('u', kStart + 500));

        EXPECT_EQ(1, game.getStatistics().undosUsed);
        EXPECT_EQ(60, game.getPenaltySeconds());
        EXPECT_EQ(c.tilesLeftAfter, board.tilesLeft);
        EXPECT_EQ(-1, board.undoTop);
        EXPECT_TRUE(first->present);
        EXPECT_TRUE(second->present);
        EXPECT_EQ(board.countAvailablePairs(), board.movesAvailable);
        EXPECT_EQ(nullptr, board.selected);
        if (selected) {
            EXPECT_EQ(0, selected->selected);
            EXPECT_EQ(nullptr, game.m_hintTiles[0]);
        }
    }
}

TEST(GameShuffle, ShuffleCostsTwoMinutesEmptiesTheUndoStackAndLocksUndo)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    TMBoard &board = play.board;
    UndoControlInReach undoControl(game);
    TMTile *const first = play.first;
    TMTile *const second = play.second;
    deliver(game, clickOn(game, first, kStart + 100));
    deliver(game, clickOn(game, second, kStart + 200));
    TMTile *selected = nullptr;
    ASSERT_TRUE(board.findPair(&selected, nullptr, 0));
    deliver(game, clickOn(game, selected, kStart + 300));
    game.m_hintTiles[0] = selected;

    // Not on the title screen, and not while paused.
    game.setGameState(TM_STATE_TITLE);
    deliver(game, keyPress('s', kStart + 400));
    game.setGameState(TM_STATE_PLAYING);
    game.at(kStart + 450);
    game.setPaused(true);
    deliver(game, keyPress('s', kStart + 500));
    game.setPaused(false);
    EXPECT_EQ(0, game.getStatistics().shufflesUsed);
    EXPECT_EQ(0, game.getPenaltySeconds());
    EXPECT_EQ(0, board.undoTop);
    EXPECT_TRUE(undoControl.get()->isEnabled());

    clearVoices(game);
    deliver(game, keyPress('s', kStart + 600));
    EXPECT_EQ(1, game.getStatistics().shufflesUsed);
    EXPECT_EQ(120, game.getPenaltySeconds());
    EXPECT_EQ(kStart + 600, game.m_lastProgressTime.getTime64());
    EXPECT_EQ(-1, board.undoTop);
    EXPECT_EQ(nullptr, board.selected);
    EXPECT_EQ(0, selected->selected);
    EXPECT_EQ(nullptr, game.m_hintTiles[0]);
    EXPECT_EQ(142, board.tilesLeft);
    EXPECT_FALSE(undoControl.get()->isEnabled());
    EXPECT_TRUE(soundStarted(game, "sound/tm_hint.ogg"));

    // Nothing from before the shuffle can be undone; the undo is still paid.
    deliver(game, keyPress('u', kStart + 700));
    EXPECT_EQ(142, board.tilesLeft);
    EXPECT_EQ(180, game.getPenaltySeconds());
}

TEST(GameClock, TheShownSecondsIncludeThePenaltiesAndLeaveOutPauses)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    const HRect timeArea(211, 450, 314, 480);

    deliver(game, gameEvent(ET_TIMESTAMP, kStart + 10000));
    EXPECT_EQ(10, game.m_lastClockSeconds);

    // A hint at 00:10 makes the clock jump to 00:40.
    deliver(game, keyPress('h', kStart + 10000));
    game.m_dirtyRects.clear();
    deliver(game, gameEvent(ET_TIMESTAMP, kStart + 10001));
    EXPECT_EQ(40, game.m_lastClockSeconds);
    EXPECT_TRUE(isDirty(game, timeArea));

    // A minute paused: the clock stands still.
    game.at(kStart + 11000);
    game.setPaused(true);
    deliver(game, gameEvent(ET_TIMESTAMP, kStart + 50000));
    EXPECT_EQ(41, game.m_lastClockSeconds);
    deliver(game, gameEvent(ET_KEYDOWN, kStart + 71000, KC_LBUTTON, 400, 200));
    ASSERT_FALSE(game.isPlayerPaused());
    deliver(game, gameEvent(ET_TIMESTAMP, kStart + 72000));
    EXPECT_EQ(42, game.m_lastClockSeconds);
    EXPECT_EQ(12u, game.getElapsedSeconds());
}
