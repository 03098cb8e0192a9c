// What the game's tests share: a game object with its protected members in
// reach, started in this process as the program starts it (the real archive
// of the build, the dummy video and audio drivers, HOME and the working
// directory in a scratch folder), events posted at chosen event times, and
// a look at the screen.
#ifndef TESTS_GAME_GAME_TEST_SUPPORT_H
#define TESTS_GAME_GAME_TEST_SUPPORT_H

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
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

    // Sets the game clock, as the main loop does for each event it takes.
    void at(uint64_t time) { setLastEventTime(time); }
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
    e.time = VyTime(static_cast<uint32_t>(time), static_cast<uint32_t>(time >> 32));
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

// The screen's 16-bit pixel at (x, y).
inline uint16_t gameScreenPixel(const H2DDisplayDevice *display, int x, int y)
{
    const H2DMemorySurface &s = display->getScreenSurface();
    return s.getPixels()[y * s.getPitch() / 2 + x];
}

#endif
