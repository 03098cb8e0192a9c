// What the game's tests share: a game object with its protected members in
// reach, started in this process as the program starts it (the real archive
// of the build, the dummy video and audio drivers, HOME and the working
// directory in a scratch folder), events posted at chosen event times, and
// a look at the screen.
#ifndef TESTS_GAME_GAME_TEST_SUPPORT_H
#define TESTS_GAME_GAME_TEST_SUPPORT_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "game/Tilmar.h"
#include "support/test_support.h"

class TestTilmar : public Tilmar
{
public:
    using Tilmar::m_artTable;
    using Tilmar::m_bDeveloperMode;
    using Tilmar::m_bPaused;
    using Tilmar::m_bSpaceHeld;
    using Tilmar::m_bestTimes;
    using Tilmar::m_board;
    using Tilmar::m_cvarManager;
    using Tilmar::m_eventQueue;
    using Tilmar::m_gameState;
    using Tilmar::m_hintTiles;
    using Tilmar::m_hintTime;
    using Tilmar::m_lastEntryLayout;
    using Tilmar::m_lastEntryRank;
    using Tilmar::m_lastProgressTime;
    using Tilmar::m_loadedBackground;
    using Tilmar::m_loadedTileSet;
    using Tilmar::m_noMatchRect;
    using Tilmar::m_noMatchTime;
    using Tilmar::m_pDisplayDevice;
    using Tilmar::m_pFont;
    using Tilmar::m_pInputDevice;
    using Tilmar::m_pResourceFileSystem;
    using Tilmar::m_penaltySeconds;
    using Tilmar::m_rng;
    using Tilmar::m_settings;
    using Tilmar::m_showMovesAlpha;
    using Tilmar::m_showMovesStart;
    using Tilmar::m_sprites;
    using Tilmar::m_startTime;
    using Tilmar::m_statistics;
    using Tilmar::m_uiManager;
    using Tilmar::m_dirtyRects;
    using Tilmar::m_pauseCount;
    using Tilmar::m_developerProgress;
    using Tilmar::m_lastClockSeconds;
    using Tilmar::m_pUndoControl;

    // Sets the game clock, as the main loop does for each event it takes.
    void at(uint64_t time) { setLastEventTime(time); }

    // Answers for the player where a test sets an answer; -1 (the default)
    // runs the real dialog or device code.
    int32_t messageDialogAnswer = -1; // the are-you-sure dialog
    int32_t messageDialogCalls = 0;
    int32_t noMoreMovesAnswer = -1;   // 1: end the game, 0: play on
    int32_t noMoreMovesCalls = 0;
    int32_t toggleDisplayAnswer = -1; // 0: the display cannot switch in place
    bool failDisplayCreation = false;
    bool failInputCreation = false;

    int32_t showMessageDialog(int32_t x, int32_t y, int32_t timeout, const char *backgroundName, const char *okName,
                              const char *okAltName, const char *cancelName, const char *cancelAltName) override
    {
        ++messageDialogCalls;
        if (messageDialogAnswer >= 0)
            return messageDialogAnswer;
        return Tilmar::showMessageDialog(x, y, timeout, backgroundName, okName, okAltName, cancelName,
                                         cancelAltName);
    }
    bool showNoMoreMoves() override
    {
        ++noMoreMovesCalls;
        if (noMoreMovesAnswer >= 0)
            return noMoreMovesAnswer != 0;
        return Tilmar::showNoMoreMoves();
    }
    bool toggleDisplayFullscreen() override
    {
        if (toggleDisplayAnswer >= 0)
            return toggleDisplayAnswer != 0;
        return Tilmar::toggleDisplayFullscreen();
    }
    bool m_createDisplayDevice(const char *title, bool fullscreen, uint8_t flag, int32_t width,
                               int32_t height) override
    {
        if (failDisplayCreation)
            return false;
        return Tilmar::m_createDisplayDevice(title, fullscreen, flag, width, height);
    }
    bool m_createInputDevice() override
    {
        if (failInputCreation)
            return false;
        return Tilmar::m_createInputDevice();
    }
};

// The build's resource directory, with its trailing slash.
inline std::string resourceDirectory()
{
    return std::string(TILMAR_BINARY_DIR) + "/Resources/";
}

// Runs a whole game start-up in this process with HOME and the working
// directory in `home`: console variables, then Tilmar::initialize. The
// caller ends it with stopGame.
inline bool startGame(TestTilmar &game, const tilmar_test::TempDir &home, const char *commandLine = "")
{
    setenv("HOME", home.path().c_str(), 1);
    if (chdir(home.path().c_str()) != 0)
        return false;
    if (!game.m_cvarManager.initCvarManager())
        return false;
    return game.initialize(commandLine, resourceDirectory().c_str());
}

inline void stopGame(TestTilmar &game)
{
    game.m_destroyDevices();
    game.shutdown();
}

// An event stamped with a time, as the queue stamps it when posted.
inline HEvent gameEvent(HEventType type, uint64_t time, int32_t keyCode = 0, int32_t x = 0, int32_t y = 0,
                        uint8_t character = 0)
{
    HEvent e;
    e.type = type;
    e.time = VyTime::fromTime64(time);
    e.keyCode = keyCode;
    e.x = x;
    e.y = y;
    e.character = character;
    return e;
}

// Hands an event to the game as the main loop does when no control took
// it: the game clock becomes its time, then Tilmar::handleEvent.
inline int32_t deliver(TestTilmar &game, const HEvent &event)
{
    game.at(event.time.getTime64());
    return game.handleEvent(event);
}

// Start-up arguments for the silent audio device: nothing mixes the voices,
// so a sound once started stays on its voice and a test can see it.
constexpr const char *kSilentCommandLine = "+set c_soundDriver null";

// A silent start-up, then a game started at the given game-clock time.
inline bool startPlaying(TestTilmar &game, const tilmar_test::TempDir &home, uint64_t time)
{
    if (!startGame(game, home, kSilentCommandLine))
        return false;
    game.at(time);
    game.startGame();
    return game.getGameState() == TM_STATE_PLAYING;
}

// The event queue's clock held at one time, so events posted for a dialog
// carry the game clock's time; restored at the end of the scope.
struct HeldQueueClock
{
    static inline uint64_t now = 0;
    static VyTime &read(VyTime &t)
    {
        t = VyTime::fromTime64(now);
        return t;
    }
    // A dialog still waiting after this many empty polls never got the
    // event meant to close it: fail rather than wait for ever.
    static void sleep(uint32_t)
    {
        if (++idlePolls > 100000) {
            std::fprintf(stderr, "a dialog did not close\n");
            std::abort();
        }
    }
    static inline int32_t idlePolls = 0;

    explicit HeldQueueClock(uint64_t time)
    {
        now = time;
        idlePolls = 0;
        HEventQueue::setTimeFunctions(&read, &sleep);
    }
    ~HeldQueueClock() { HEventQueue::setTimeFunctions(nullptr, nullptr); }
};

// The game clock at which the tests' games start.
constexpr uint64_t kGameStart = 1000000;

// A silent game started at kGameStart, with the first free pair of its deal
// found; stopped at the end of the scope.
struct PlayingGame
{
    PlayingGame()
    {
        // A deal that runs into a dead end plays on without a dialog; the
        // tests of a lost game answer for themselves.
        game.noMoreMovesAnswer = 0;
        started = startPlaying(game, home, kGameStart) && game.m_board.findPair(&first, &second, 0);
    }
    ~PlayingGame() { stopGame(game); }
    PlayingGame(const PlayingGame &) = delete;
    PlayingGame &operator=(const PlayingGame &) = delete;

    tilmar_test::TempDir home;
    TestTilmar game;
    TMBoard &board = game.m_board;
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    bool started = false;
};

// Frees the eight mixer voices, so that soundStarted tells what comes next.
inline void clearVoices(TestTilmar &game)
{
    for (int32_t voice = 0; voice < HAudioMixerStreamingAudioSource::kVoiceCount; ++voice)
        game.getMixer().stopVoice(voice);
}

inline bool soundStarted(TestTilmar &game, const char *name)
{
    return game.getSoundManager().isSoundPlaying(name);
}

// A point that the board's hit test gives to the tile: its face's centre
// when that works, else the first such point on its face; (-1, -1) if none.
inline std::pair<int32_t, int32_t> pointOn(TMBoard &board, TMTile *tile)
{
    HRect face;
    board.getFaceRect(tile, &face);
    const int32_t cx = (face.x0 + face.x1) / 2;
    const int32_t cy = (face.y0 + face.y1) / 2;
    if (board.hitTest(cx, cy, true) == tile)
        return {cx, cy};
    for (int32_t y = face.y0; y < face.y1; ++y)
        for (int32_t x = face.x0; x < face.x1; ++x)
            if (board.hitTest(x, y, true) == tile)
                return {x, y};
    return {-1, -1};
}

// A left-button press on the tile, at the given time.
inline HEvent clickOn(TestTilmar &game, TMTile *tile, uint64_t time)
{
    const std::pair<int32_t, int32_t> p = pointOn(game.m_board, tile);
    return gameEvent(ET_KEYDOWN, time, KC_LBUTTON, p.first, p.second);
}

// A typed character, as the input device delivers a key press: the key's
// code (a letter's capital, as the key codes number them) and the character.
inline HEvent keyPress(char c, uint64_t time, HEventType type = ET_KEYDOWN)
{
    const int32_t code = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    return gameEvent(type, time, code, 0, 0, static_cast<uint8_t>(c));
}

// True when some rectangle of the game's dirty list covers the whole rect.
inline bool isDirty(TestTilmar &game, const HRect &rect)
{
    for (int32_t i = 0; i < game.m_dirtyRects.getCount(); ++i)
        if (game.m_dirtyRects.getRect(i).containsRect(rect))
            return true;
    return false;
}

// Gives the tile a kind by swapping kind and picture with a tile of that
// kind outside `keep`, so every kind keeps its count. False when no such
// tile is on the board.
inline bool giveKind(TMBoard &board, TMTile *tile, int32_t kind, const std::vector<TMTile *> &keep)
{
    if (tile->kind == kind)
        return true;
    for (TMTile &other : board.tiles)
        if (&other != tile && other.present && other.kind == kind &&
            std::find(keep.begin(), keep.end(), &other) == keep.end()) {
            std::swap(other.kind, tile->kind);
            std::swap(other.image, tile->image);
            board.movesAvailable = board.countAvailablePairs();
            return true;
        }
    return false;
}

// Makes a dealt board clearable: plans 72 removals of free tiles (the
// highest first) and gives each two planned pairs in a row one kind, so
// that the plan can be played out pair by pair. Answers the plan, or fewer
// than 72 pairs when the layout cannot be cleared that way.
inline std::vector<std::pair<TMTile *, TMTile *>> makeClearable(TMBoard &board)
{
    TMBoard plan = board;
    std::vector<std::pair<TMTile *, TMTile *>> pairs;
    for (;;) {
        std::vector<int32_t> free;
        for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
            if (plan.tiles[i].present && plan.isFree(&plan.tiles[i]))
                free.push_back(i);
        if (free.size() < 2)
            break;
        std::stable_sort(free.begin(), free.end(),
                         [&](int32_t a, int32_t b) { return plan.tiles[a].z > plan.tiles[b].z; });
        const int32_t kind = static_cast<int32_t>(pairs.size()) / 2;
        for (int32_t k = 0; k < 2; ++k) {
            plan.tiles[free[k]].present = 0;
            board.tiles[free[k]].kind = kind;
            board.tiles[free[k]].image = kind;
        }
        pairs.push_back({&board.tiles[free[0]], &board.tiles[free[1]]});
    }
    board.movesAvailable = board.countAvailablePairs();
    return pairs;
}

// The screen's 16-bit pixel at (x, y).
inline uint16_t gameScreenPixel(const H2DDisplayDevice *display, int x, int y)
{
    const H2DMemorySurface &s = display->getScreenSurface();
    return s.getPixels()[y * s.getPitch() / 2 + x];
}

#endif
