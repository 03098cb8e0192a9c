// Playing a game: clicks on tiles, matches, the right button, and the end of
// a game won or lost, on the game started as the program starts it.
#include <gtest/gtest.h>

#include "game/board_support.h"
#include "game/game_test_support.h"

namespace {

constexpr uint64_t kStart = kGameStart;

int32_t selectedFlags(const TMBoard &board)
{
    int32_t count = 0;
    for (const TMTile &tile : board.tiles)
        count += tile.selected ? 1 : 0;
    return count;
}

// Tiles of the dealt board for the click cases: a free pair (a and its
// partner), a free tile of another kind and a present tile that is not
// free but can be clicked.
struct Cast
{
    TMTile *a = nullptr;
    TMTile *partner = nullptr;
    TMTile *otherKind = nullptr;
    TMTile *blocked = nullptr;
};

Cast castOf(TMBoard &board)
{
    Cast cast;
    if (!board.findPair(&cast.a, &cast.partner, 0))
        return cast;
    for (TMTile &tile : board.tiles) {
        if (!tile.present || pointOn(board, &tile).first < 0)
            continue;
        if (!cast.otherKind && board.isFree(&tile) && tile.kind != cast.a->kind)
            cast.otherKind = &tile;
        if (!cast.blocked && !board.isFree(&tile))
            cast.blocked = &tile;
    }
    return cast;
}

} // namespace

TEST(GameClicks, LeftClicksSelectDeselectRefuseAndMatch)
{
    enum Role { NONE, A, PARTNER, OTHER_KIND, BLOCKED, EMPTY };
    struct Case
    {
        const char *name;
        Role selectedBefore;
        Role clicked;
        Role selectedAfter;
        const char *sound; // null: no sound
        bool hintCleared;
        int32_t tilesLeft;
    };
    const Case cases[] = {
        {"blocked, nothing selected", NONE, BLOCKED, NONE, "sound/tm_blocked.ogg", false, 144},
        {"blocked keeps the selection", A, BLOCKED, A, "sound/tm_blocked.ogg", false, 144},
        {"free tile is selected", NONE, A, A, "sound/tm_click.wav", true, 144},
        {"selected tile again deselects", A, A, NONE, "sound/tm_unclick.wav", true, 144},
        {"other kind drops the selection", A, OTHER_KIND, NONE, "sound/tm_blocked.ogg", true, 144},
        {"same kind matches", A, PARTNER, NONE, "sound/tm_match.ogg", true, 142},
        {"no tile under the point", A, EMPTY, A, nullptr, false, 144},
    };

    tilmar_test::TempDir home;
    TestTilmar game;
    game.noMoreMovesAnswer = 0;
    ASSERT_TRUE(startGame(game, home, kSilentCommandLine));
    uint64_t now = kStart;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const uint64_t dealtAt = now;
        game.at(dealtAt);
        game.startGame();
        TMBoard &board = game.m_board;
        const Cast cast = castOf(board);
        ASSERT_TRUE(cast.a && cast.partner && cast.otherKind && cast.blocked);
        TMTile *const roles[] = {nullptr, cast.a, cast.partner, cast.otherKind, cast.blocked, nullptr};

        if (c.selectedBefore != NONE)
            deliver(game, clickOn(game, roles[c.selectedBefore], now += 100));
        ASSERT_EQ(roles[c.selectedBefore], board.selected);
        // A hint on show, to see whether the click takes it away.
        game.m_hintTiles[0] = cast.otherKind;
        game.m_hintTiles[1] = cast.blocked;
        clearVoices(game);

        now += 100;
        HEvent click = gameEvent(ET_KEYDOWN, now, KC_LBUTTON, 637, 2);
        if (c.clicked == EMPTY)
            ASSERT_EQ(nullptr, board.hitTest(click.x, click.y, true));
        else
            click = clickOn(game, roles[c.clicked], now);
        EXPECT_EQ(0, deliver(game, click));

        EXPECT_EQ(roles[c.selectedAfter], board.selected);
        EXPECT_EQ(c.selectedAfter != NONE ? 1 : 0, selectedFlags(board));
        EXPECT_EQ(c.tilesLeft, board.tilesLeft);
        EXPECT_EQ(c.hintCleared, game.m_hintTiles[0] == nullptr);
        EXPECT_EQ(c.hintCleared, game.m_hintTiles[1] == nullptr);
        for (const char *sound : {"sound/tm_blocked.ogg", "sound/tm_click.wav", "sound/tm_unclick.wav",
                                  "sound/tm_match.ogg"})
            EXPECT_EQ(c.sound && std::string(sound) == c.sound, soundStarted(game, sound)) << sound;
        if (c.clicked == PARTNER) {
            // One undo entry, the clicked tile first; the clock of the match
            // is the new start of the wait for an automatic hint.
            EXPECT_FALSE(cast.a->present);
            EXPECT_FALSE(cast.partner->present);
            EXPECT_EQ(0, board.undoTop);
            EXPECT_EQ(cast.partner, board.undoStack[0].first);
            EXPECT_EQ(cast.a, board.undoStack[0].second);
            EXPECT_EQ(now, game.m_lastProgressTime.getTime64());
            EXPECT_EQ(board.countAvailablePairs(), board.movesAvailable);
        } else {
            EXPECT_EQ(-1, board.undoTop);
            EXPECT_EQ(dealtAt, game.m_lastProgressTime.getTime64());
        }
        game.m_hintTiles[0] = game.m_hintTiles[1] = nullptr;
        now += 1000;
    }
    stopGame(game);
}

TEST(GamePlay, TitleScreenEndOfGameAndPauseIgnoreTilesHintsAndShuffle)
{
    struct Case
    {
        const char *name;
        int32_t state;
        bool paused;
        bool clicks; // a won game's board takes clicks; it is empty in play
    };
    const Case cases[] = {
        {"title screen", TM_STATE_TITLE, false, true},
        {"won", TM_STATE_WON, false, false},
        {"lost board", TM_STATE_LOST, false, true},
        {"paused game", TM_STATE_PLAYING, true, true},
    };
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        game.setGameState(c.state);
        game.at(kStart + 10);
        game.setPaused(c.paused);
        clearVoices(game);
        if (c.clicks)
            for (TMTile *tile : {play.first, play.second, play.first})
                for (int32_t button : {KC_LBUTTON, KC_RBUTTON}) {
                    HEvent click = clickOn(game, tile, kStart + 20);
                    click.keyCode = button;
                    // A click on the board resumes a paused game: pause again.
                    game.setPaused(c.paused);
                    deliver(game, click);
                }
        game.setPaused(c.paused);
        deliver(game, keyPress('h', kStart + 30));
        deliver(game, keyPress('s', kStart + 40));
        game.showHint(false);

        EXPECT_EQ(nullptr, play.board.selected);
        EXPECT_EQ(144, play.board.tilesLeft);
        EXPECT_EQ(c.state, game.getGameState());
        EXPECT_EQ(nullptr, game.m_hintTiles[0]);
        EXPECT_EQ(0, game.getStatistics().hintsUsed);
        EXPECT_EQ(0, game.getStatistics().shufflesUsed);
        EXPECT_EQ(0, game.getPenaltySeconds());
        EXPECT_FALSE(soundStarted(game, "sound/tm_hint.ogg"));
        game.setPaused(false);
    }
}

TEST(GameClicks, RightButtonDropsTheSelectionAndTheHint)
{
    struct Case
    {
        const char *name;
        int32_t state;
        bool select;
        bool dropped;
    };
    const Case cases[] = {
        {"playing with a selection", TM_STATE_PLAYING, true, true},
        {"playing without a selection", TM_STATE_PLAYING, false, false},
        {"title screen", TM_STATE_TITLE, true, false},
        {"lost board", TM_STATE_LOST, true, false},
    };
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    TMBoard &board = play.board;
    TMTile *const a = play.first;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        game.setGameState(TM_STATE_PLAYING);
        board.clearSelection();
        if (c.select)
            deliver(game, clickOn(game, a, kStart + 10));
        game.setGameState(c.state);
        game.m_hintTiles[0] = play.second;
        deliver(game, gameEvent(ET_KEYDOWN, kStart + 20, KC_RBUTTON, 600, 400));
        EXPECT_EQ(c.dropped, game.m_hintTiles[0] == nullptr);
        EXPECT_EQ(c.select && !c.dropped ? a : nullptr, board.selected);
        EXPECT_EQ(c.select && !c.dropped ? 1 : 0, a->selected);
        EXPECT_EQ(144, board.tilesLeft);
    }
}

TEST(GameEnd, ClearingTheBoardPairByPairWinsWithScoreAndTime)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    game.noMoreMovesAnswer = 1;
    const std::vector<std::pair<TMTile *, TMTile *>> plan = makeClearable(game.m_board);
    ASSERT_EQ(72u, plan.size());

    // A hint (30 s), then 5 s paused, which the clock leaves out.
    deliver(game, keyPress('h', kStart + 1000));
    game.at(kStart + 2000);
    game.setPaused(true);
    deliver(game, gameEvent(ET_KEYDOWN, kStart + 7000, KC_LBUTTON, 400, 200));
    ASSERT_FALSE(game.isPlayerPaused());

    uint64_t now = kStart + 10000;
    for (size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        clearVoices(game);
        deliver(game, clickOn(game, plan[i].first, now += 250));
        ASSERT_EQ(plan[i].first, game.m_board.selected);
        deliver(game, clickOn(game, plan[i].second, now += 250));
        ASSERT_FALSE(plan[i].second->present);
        if (i + 1 < plan.size()) {
            ASSERT_EQ(TM_STATE_PLAYING, game.getGameState());
            ASSERT_TRUE(soundStarted(game, "sound/tm_match.ogg"));
        }
    }
    // The last click came 46 s after the start: 41 s of play, 5 s paused.
    ASSERT_EQ(kStart + 46000, now);
    EXPECT_EQ(TM_STATE_WON, game.getGameState());
    EXPECT_EQ(0, game.m_board.tilesLeft);
    EXPECT_TRUE(soundStarted(game, "sound/tm_youwin.ogg"));
    EXPECT_FALSE(soundStarted(game, "sound/tm_match.ogg"));
    EXPECT_EQ(41 + 30, game.getStatistics().finalScore);
    EXPECT_EQ(41, game.getStatistics().finalTime);
    EXPECT_EQ(1, game.getStatistics().hintsUsed);
    EXPECT_EQ(-1, game.m_board.undoTop);
    EXPECT_EQ(0, game.noMoreMovesCalls);
}

TEST(GameEnd, NoPairLeftAsksAndEndsLostOnlyWhenThePlayerChoosesTo)
{
    struct Case
    {
        const char *name;
        int32_t answer;
        int32_t state;
        int32_t finalScore;
        int32_t finalTime;
        int32_t undoTop;
    };
    const Case cases[] = {
        {"end the game", 1, TM_STATE_LOST, 42 + 30, 42, -1},
        {"play on (shuffle or undo chosen)", 0, TM_STATE_PLAYING, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayingGame play;
        ASSERT_TRUE(play.started);
        TestTilmar &game = play.game;
        game.noMoreMovesAnswer = c.answer;
        // One pair and two tiles that match nothing, all free.
        setUpBoard(game.m_board, {{0, 4, 0, 5, 5}, {6, 4, 0, 5, 5}, {12, 4, 0, 6, 6}, {18, 4, 0, 7, 7}});
        deliver(game, keyPress('h', kStart + 1000));
        clearVoices(game);
        deliver(game, clickOn(game, &game.m_board.tiles[0], kStart + 42000));
        deliver(game, clickOn(game, &game.m_board.tiles[1], kStart + 42999));

        EXPECT_EQ(1, game.noMoreMovesCalls);
        EXPECT_EQ(c.state, game.getGameState());
        EXPECT_EQ(2, game.m_board.tilesLeft);
        EXPECT_EQ(c.finalScore, game.getStatistics().finalScore);
        EXPECT_EQ(c.finalTime, game.getStatistics().finalTime);
        EXPECT_EQ(c.undoTop, game.m_board.undoTop);
        EXPECT_EQ(c.answer == 1, soundStarted(game, "sound/tm_gameover.ogg"));
        EXPECT_FALSE(soundStarted(game, "sound/tm_match.ogg"));
        EXPECT_FALSE(soundStarted(game, "sound/tm_youwin.ogg"));
    }
}

TEST(GameHover, PointerMotionTracksTheTileUnderItOncePerPosition)
{
    PlayingGame play;
    ASSERT_TRUE(play.started);
    TestTilmar &game = play.game;
    TMBoard &board = play.board;
    TMTile *const a = play.first;
    const std::pair<int32_t, int32_t> p = pointOn(board, a);

    deliver(game, gameEvent(ET_MOUSEMOVE, kStart + 10, 0, p.first, p.second));
    EXPECT_EQ(a, board.hovered);
    // The same position again is not looked at.
    board.hovered = nullptr;
    deliver(game, gameEvent(ET_MOUSEMOVE, kStart + 20, 0, p.first, p.second));
    EXPECT_EQ(nullptr, board.hovered);
    deliver(game, gameEvent(ET_MOUSEMOVE, kStart + 30, 0, 637, 2));
    EXPECT_EQ(nullptr, board.hovered);
    deliver(game, gameEvent(ET_MOUSEMOVE, kStart + 40, 0, p.first, p.second));
    EXPECT_EQ(a, board.hovered);
}
