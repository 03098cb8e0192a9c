// The game class: the one application object of the program. It holds the
// board, the game state and statistics, the clock and its penalties, the
// player's settings and best times and the game's 117 pictures, and carries
// out every command of the game. Its code is split by concern:
//   Tilmar.cpp            construction, start-up, devices, full screen, links
//   TilmarCommands.cpp    game commands, events, keyboard, per-pass update
//   TilmarDrawing.cpp     art table, painting of the screen, timed effects
//   TilmarRecords.cpp     settings and best times in the registry
//   TMControls.cpp        the on-screen controls
//   TMDialogs.cpp         are-you-sure, no-more-moves and options dialogs
//   TMBestTimesDialog.cpp best-times and enter-name dialogs
#ifndef GAME_TILMAR_H
#define GAME_TILMAR_H

#include <cstdint>

#include "engine/core/HRect.h"
#include "engine/core/VyTime.h"
#include "framework/HPuzzleGame.h"
#include "framework/VGSprite.h"
#include "game/TMBoard.h"
#include "game/TMRecords.h"

class UIControl;

// Game states.
enum
{
    TM_STATE_TITLE = 0,
    TM_STATE_PLAYING = 1,
    TM_STATE_WON = 2,
    TM_STATE_LOST = 3,
    TM_STATE_EXITING = 4
};

// Art slots.
enum
{
    TM_SPRITE_COUNT = 117,
    TM_ART_FONT = 0,
    TM_ART_PAUSE = 1,
    TM_ART_LEFT_PANEL = 2,
    TM_ART_TITLE = 3,
    TM_ART_ARROW_LEFT = 4,
    TM_ART_ARROW_RIGHT = 5,
    TM_ART_ARROW_LEFT_LIT = 6,
    TM_ART_ARROW_RIGHT_LIT = 7,
    TM_ART_BACKGROUND = 8,
    TM_ART_SHADOW_TOP = 9,
    TM_ART_SHADOW_RIGHT = 10,
    TM_ART_NO_MATCH = 11,
    TM_ART_BOARD_COMPLETE = 12,
    TM_ART_GAME_OVER = 13,
    TM_ART_LAYOUT_PREVIEW = 16,   // + layout
    TM_ART_LAYOUT_TITLE = 34,     // + layout
    TM_ART_TILESET_PREVIEW = 52,  // + tile set
    TM_ART_BACKGROUND_PREVIEW = 60, // + background
    TM_ART_START = 70,
    TM_ART_START_LIT = 71,
    TM_ART_CONTINUE_LIT = 72,
    TM_ART_EXIT = 75,
    TM_ART_EXIT_LIT = 76,
    TM_ART_SHOW_MOVES = 77,
    TM_ART_SHOW_MOVES_LIT = 78,
    TM_ART_HINT = 79,
    TM_ART_HINT_LIT = 80,
    TM_ART_FIND_MATCH = 81,
    TM_ART_FIND_MATCH_LIT = 82,
    TM_ART_OPTIONS = 83,
    TM_ART_OPTIONS_LIT = 84,
    TM_ART_PAUSE_ICON = 85,
    TM_ART_PAUSE_ICON_LIT = 86,
    TM_ART_RESUME = 87,
    TM_ART_RESUME_LIT = 88,
    TM_ART_MAKER = 89,
    TM_ART_MAKER_LIT = 90,
    TM_ART_NEW_GAME = 91,
    TM_ART_NEW_GAME_LIT = 92,
    TM_ART_RULES = 93,
    TM_ART_RULES_LIT = 94,
    TM_ART_SHUFFLE = 95,
    TM_ART_SHUFFLE_LIT = 96,
    TM_ART_UNDO = 97,
    TM_ART_UNDO_LIT = 98,
    TM_ART_TIME_LABEL = 99,
    TM_ART_TILES_LEFT_LABEL = 100,
    TM_ART_MOVES_LABEL = 101,
    TM_ART_DIGIT_0 = 102,  // to 111
    TM_ART_COLON = 112,
    TM_ART_COMMA = 113,
    TM_ART_OUTLINE_FREE = 114,
    TM_ART_OUTLINE_BLOCKED = 115,
    TM_ART_TILE_SHEET = 116
};

enum
{
    TM_TILESET_COUNT = 8,
    TM_BACKGROUND_COUNT = 10,
    TM_HINT_TILES = 4
};

// The five statistics of a game, cleared when a game starts.
struct TMStatistics
{
    int32_t hintsUsed;
    int32_t undosUsed;
    int32_t shufflesUsed;
    int32_t finalScore; // seconds played plus penalty seconds
    int32_t finalTime;  // seconds played
};

// The window caption and the files of the game.
constexpr const char *kTilmarCaption = "Tilmar Mah Jong (Ver 1.05.04) Nov 23 2006 00:41:32";
constexpr const char *kTilmarArchiveName = "tilmar.vmz";

class Tilmar : public HPuzzleGame
{
public:
    Tilmar();
    ~Tilmar() override;

    // Overrides of the application class, in its slot order.
    float getMusicVolumeSetting() override;
    float getSoundVolumeSetting() override;
    const char *getTitle() override;
    bool isAnimating() override;
    bool initialize(const char *commandLine, const char *resourceDirectory) override;
    void m_destroyDevices() override;
    // Answers 1 once the game has reached its exiting state.
    int32_t handleEvent(const HEvent &event) override;
    void drawRect(const HRect &rect, bool underDialog) override;
    VGSprite *getCursorSprite() override;
    void setActive(bool active) override;
    void onModalDialogEnded() override;

    // ----- Commands (TilmarCommands.cpp, Tilmar.cpp) -----
    // Sounds go through HPuzzleGame::playSound (name, volume, spare,
    // overlap): volume x the sound setting, and without overlap a sample is
    // not started while it still plays.
    void addPenalty(int32_t seconds);
    void deselectTile();
    void m_selectTile(TMTile *tile);
    void cycleBackground(int32_t delta);
    void cycleLayout(int32_t delta);
    void cycleTileSet(int32_t delta);
    void startGame();
    void newGame();
    void returnToTitle(bool ask);
    void exitGame();
    void setPaused(bool paused);
    void showHint(bool byUser);
    void undo();
    void shuffle();
    void m_onRightClick(int32_t x, int32_t y);
    void m_onTileClick(int32_t x, int32_t y);
    void m_matchPair(TMTile *clicked, TMTile *selected);
    void endGame(bool won, int32_t score, int32_t time);
    void m_autoMatch();
    void m_trackHover(int32_t x, int32_t y);
    void m_onKey(const HEvent &event);
    // False once the game is exiting.
    bool update();
    void toggleFullscreen();
    void visitPartner();
    void showRules();
    bool m_loadArt();
    bool canShuffle() const;
    // Elapsed playing seconds, paused time excluded.
    uint32_t getElapsedSeconds();
    // The confirmation of returning to the title and of leaving a game.
    bool m_askAreYouSure();
    // The click of the buttons and dialogs, at volume 128, no overlap.
    void playClickSound();
    // Forgets the hint highlight's tiles.
    void m_clearHintTiles();

    // ----- Drawing (TilmarDrawing.cpp) -----
    void m_initArtTable();
    // The loaded slot, or an alert and null.
    VGSprite *getSprite(int32_t index);
    // The slot without any alert; null outside 0..116.
    VGSprite *getSlot(int32_t index);
    // The slot when its picture is loaded, else null without an alert: for
    // steps that run on every frame and just leave a missing picture out.
    VGSprite *getLoadedSprite(int32_t index);
    void m_loadTileSet();
    void m_loadBackground();
    void m_unloadSprites();
    void showMoves();
    void m_expireHintHighlight();
    void m_expireNoMatch();
    void m_expireRemovedTiles();
    // Ends the fade of every removed tile at once, as its expiry does once
    // the fade has run out, and asks for their rectangles to be repainted.
    void m_endRemovedTilesFade();
    void drawTiles(TMBoard &board, const HRect &clip, TMTile *h1, TMTile *h2, TMTile *h3, TMTile *h4,
                   float pulse, float showMovesIntensity);
    void m_drawTile(const TMTile *tile, const HRect &clip, float shadowOpacity, float faceOpacity, float faceAdd);
    void m_drawShadowTop(const TMTile *tile, const HRect &clip, float opacity);
    void m_drawShadowRight(const TMTile *tile, const HRect &clip, float opacity);
    void m_drawHoverOutline(const TMTile *tile, const HRect &clip, bool free);
    static void s_blitClippedAlpha(const HRect &clip, const HRect &dest, VGSprite *sprite, float opacity);
    void m_drawHud(const HRect &clip);
    void m_drawNumberString(const char *text, int32_t x, int32_t y, bool commas, const HRect &clip);
    VGSprite *m_getGlyphSprite(char c);
    void m_drawNoMatch(const HRect &clip);
    // The hint highlight's pulse, 0..1, from the real-time clock.
    float m_hintPulse();
    // The show-moves intensity for t milliseconds since its start (the
    // tile-set factor applied); sets *ended when the effect is over.
    float m_showMovesIntensity(uint32_t t, bool *ended) const;

    // ----- Controls (TMControls.cpp) -----
    void createControls();

    // ----- Settings and best times (TilmarRecords.cpp) -----
    bool loadSettings();
    void saveSettings();
    void resetBestTimes(int32_t layout);
    void loadBestTimes();
    void saveBestTimes();
    void enterBestTime();

    // ----- Dialogs (TMDialogs.cpp, TMBestTimesDialog.cpp) -----
    bool confirm(const char *background, const char *ok, const char *okLit, const char *cancel,
                 const char *cancelLit);
    // True only when the player chose to end the game. Virtual so that a
    // test can answer in the player's place.
    virtual bool showNoMoreMoves();
    void showOptions();
    void showBestTimes(int32_t layout);
    void runEnterNameDialog(char *buffer, int32_t size);

    // ----- State for the controls, dialogs and tests -----
    int32_t getGameState() const { return m_gameState; }
    void setGameState(int32_t state) { m_gameState = state; }
    // The player's pause (not the framework's pause count).
    bool isPlayerPaused() const { return m_bPaused; }
    bool isDeveloperMode() const { return m_bDeveloperMode; }
    TMBoard &getBoard() { return m_board; }
    TMSettings &getSettings() { return m_settings; }
    const TMStatistics &getStatistics() const { return m_statistics; }
    int32_t getPenaltySeconds() const { return m_penaltySeconds; }
    TMBestTime (&getBestTimes())[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS] { return m_bestTimes; }
    int32_t getLastEntryLayout() const { return m_lastEntryLayout; }
    int32_t getLastEntryRank() const { return m_lastEntryRank; }
    const HRect &getNoMatchRect() const { return m_noMatchRect; }
    void setLastProgressTime(const VyTime &time) { m_lastProgressTime = time; }
    UIControl *getUndoControl() const { return m_pUndoControl; }
    UIControl *getShuffleControl() const { return m_pShuffleControl; }
    UIControl *getRestartControl() const { return m_pRestartControl; }
    UIControl *getShowMovesControl() const { return m_pShowMovesControl; }
    // The game clock: the time of the event being handled.
    VyTime getGameClock() const;

protected:
    int32_t m_gameState;
    bool m_bDeveloperMode;
    bool m_bSpaceHeld;
    TMStatistics m_statistics;
    int32_t m_penaltySeconds;
    VyTime m_startTime;
    VyTime m_lastProgressTime;
    VyTime m_hintTime;
    VyTime m_noMatchTime;    // 0 while the overlay is off
    VyTime m_showMovesStart; // 0 while show-moves is off
    float m_showMovesAlpha;
    TMTile *m_hintTiles[TM_HINT_TILES];
    TMSettings m_settings;
    TMBoard m_board;

    // The art table: every slot and the file name it is loaded from (null
    // for the slots loaded on demand or unused).
    VGSprite m_sprites[TM_SPRITE_COUNT];
    HSpriteLoadItem m_artTable[TM_SPRITE_COUNT];
    int32_t m_loadedTileSet;    // -1 before the first load
    int32_t m_loadedBackground; // -1 before the first load

    TMBestTime m_bestTimes[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS];
    int32_t m_lastEntryLayout;
    int32_t m_lastEntryRank;

    UIControl *m_pShowMovesControl;
    UIControl *m_pUndoControl;
    UIControl *m_pShuffleControl;
    UIControl *m_pRestartControl;

    HRect m_boardArea;
    HRect m_tilesLeftArea;
    HRect m_movesArea;
    HRect m_timeArea;
    HRect m_noMatchRect;

    // Kept for the process: the developer sequence's progress, the last
    // pointer position seen and the clock's last seconds value.
    int32_t m_developerProgress;
    int32_t m_lastPointerX;
    int32_t m_lastPointerY;
    int32_t m_lastClockSeconds;
};

// The one game object, as the controls and dialogs reach it.
inline Tilmar *getTilmar()
{
    return static_cast<Tilmar *>(g_pCurrentGame);
}

// The three characters that switch developer mode, typed in order.
constexpr const char kDeveloperSequence[4] = "dvl";

#endif
