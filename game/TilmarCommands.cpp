// The game's commands: starting and ending games, tile clicks and matches,
// hints, undo, shuffle, pause, the keyboard, event dispatch and the timers
// advanced on every pass of the main loop.
#include <cstring>
#include <initializer_list>

#include "engine/core/HMessages.h"
#include "framework/UIControl.h"
#include "game/TMRules.h"
#include "game/Tilmar.h"

namespace {

const int32_t kMaxBackground = TM_BACKGROUND_COUNT - 1;
const int32_t kMaxLayout = TM_LAYOUT_COUNT - 1;
const int32_t kMaxTileSet = TM_TILESET_COUNT - 1;

int32_t cycle(int32_t value, int32_t delta, int32_t maximum)
{
    // Widened so that a stored value near the int32 limits cannot overflow.
    const int64_t next = static_cast<int64_t>(value) + delta;
    if (next < 0)
        return maximum;
    if (next > maximum)
        return 0;
    return static_cast<int32_t>(next);
}

} // namespace

void Tilmar::addPenalty(int32_t seconds)
{
    m_penaltySeconds += seconds;
    m_addDirtyRect(m_timeArea);
}

void Tilmar::m_clearHintTiles()
{
    for (TMTile *&hint : m_hintTiles)
        hint = nullptr;
}

void Tilmar::deselectTile()
{
    m_board.clearSelection();
    m_invalidateScreen();
}

void Tilmar::m_selectTile(TMTile *tile)
{
    m_board.selected = tile;
    if (tile)
        tile->selected = 1;
    m_invalidateScreen();
}

void Tilmar::cycleBackground(int32_t delta)
{
    m_settings.background = cycle(m_settings.background, delta, kMaxBackground);
    m_invalidateScreen();
}

void Tilmar::cycleLayout(int32_t delta)
{
    m_settings.layout = cycle(m_settings.layout, delta, kMaxLayout);
    m_invalidateScreen();
}

void Tilmar::cycleTileSet(int32_t delta)
{
    m_settings.tileSet = cycle(m_settings.tileSet, delta, kMaxTileSet);
    m_invalidateScreen();
}

uint32_t Tilmar::getElapsedSeconds()
{
    const uint64_t now = getLastEventTime();
    const uint64_t elapsed = now - m_startTime.getTime64() - getPausedTime();
    return static_cast<uint32_t>(elapsed / 1000);
}

bool Tilmar::canShuffle() const
{
    return m_board.tilesLeft > 2 && m_gameState == TM_STATE_PLAYING;
}

void Tilmar::startGame()
{
    saveSettings();
    newGame();
    m_showMovesAlpha = 0.0f;
    m_showMovesStart = VyTime();
    m_penaltySeconds = 0;
    m_gameState = TM_STATE_PLAYING;
    m_loadTileSet();
    m_loadBackground();
    m_invalidateScreen();
}

void Tilmar::newGame()
{
    updateThemeMusic();
    std::memset(&m_statistics, 0, sizeof m_statistics);
    // The volume first: the audio thread may mix between the two calls, and
    // a stream started at the old volume would sound a chunk of it.
    setMusicVolume(m_settings.musicVolume);
    playThemeMusic(true);

    m_board.deal(m_pResourceFileSystem, m_rng, getLayoutFileName(m_settings.layout));

    m_invalidateScreen();
    m_startTime = getGameClock();
    m_lastProgressTime = m_startTime;
    m_noMatchTime = VyTime();
    resetPausedTime();
}

void Tilmar::returnToTitle(bool ask)
{
    if (ask && !m_askAreYouSure())
        return;
    setPaused(false);
    playThemeMusic(false);
    m_gameState = TM_STATE_TITLE;
    m_invalidateScreen();
}

void Tilmar::exitGame()
{
    if (m_gameState == TM_STATE_PLAYING && !m_askAreYouSure())
        return;
    m_gameState = TM_STATE_EXITING;
    playThemeMusic(false);
}

void Tilmar::setPaused(bool paused)
{
    if (m_bDeveloperMode || m_bPaused == paused)
        return;
    if (paused) {
        playThemeMusic(false);
        m_beginPause();
        m_bPaused = true;
    } else {
        playThemeMusic(true);
        m_endPause();
        m_bPaused = false;
    }
    m_invalidateScreen();
}

void Tilmar::m_onTileClick(int32_t x, int32_t y)
{
    if (m_bPaused) {
        if (m_boardArea.contains(x, y))
            setPaused(false);
        playClickSound();
        return;
    }
    if (m_gameState == TM_STATE_TITLE || m_gameState == TM_STATE_LOST)
        return;

    TMTile *tile = m_board.hitTest(x, y, true);
    TMTile *const selectedBefore = m_board.selected;
    if (!tile)
        return;
    debugPrint("tile = %d,%d,%d\n", tile->x, tile->y, tile->z);

    if (!m_board.isFree(tile)) {
        playSound("sound/tm_blocked.ogg", 128, 0, true);
    } else {
        m_expireHintHighlight();
        m_clearHintTiles();
        TMTile *selected = m_board.selected;
        HRect rect;
        if (!selected) {
            deselectTile();
            m_selectTile(tile);
            playSound("sound/tm_click.wav", 128, 0, false);
        } else if (selected == tile) {
            tile->selected = 0;
            deselectTile();
            m_board.getImageRect(tile, &rect);
            m_addDirtyRect(rect);
            playSound("sound/tm_unclick.wav", 128, 0, false);
        } else if (selected->kind != tile->kind) {
            m_board.getImageRect(selected, &rect);
            m_addDirtyRect(rect);
            deselectTile();
            playSound("sound/tm_blocked.ogg", 128, 0, true);
        } else {
            m_matchPair(tile, selected);
            m_lastProgressTime = getGameClock();
        }
    }
    if (m_board.selected != selectedBefore)
        m_invalidateScreen();
}

void Tilmar::m_matchPair(TMTile *clicked, TMTile *selected)
{
    m_board.removePair(clicked, selected, getGameClock());
    m_addDirtyRect(m_tilesLeftArea);
    m_addDirtyRect(m_movesArea);
    HRect rect;
    m_board.getFullRect(clicked, &rect);
    m_addDirtyRect(rect);
    m_board.getFullRect(selected, &rect);
    m_addDirtyRect(rect);

    const int32_t secs = static_cast<int32_t>(getElapsedSeconds());
    if (m_board.tilesLeft == 0)
        endGame(true, secs + m_penaltySeconds, secs);
    else if (m_board.findPair(nullptr, nullptr, 0))
        playSound("sound/tm_match.ogg", 128, 0, true);
    else
        endGame(false, secs + m_penaltySeconds, secs);
    m_invalidateScreen();
}

void Tilmar::endGame(bool won, int32_t score, int32_t time)
{
    if (!won) {
        // The dialog's loop runs no update, so a fade still running would
        // leave the pair drawn at full strength beneath it.
        m_endRemovedTilesFade();
        if (!showNoMoreMoves())
            return;
    }
    playThemeMusic(false);
    if (won) {
        playSound("sound/tm_youwin.ogg", 128, 0, false);
        m_gameState = TM_STATE_WON;
    } else {
        playSound("sound/tm_gameover.ogg", 128, 0, false);
        m_gameState = TM_STATE_LOST;
    }
    m_noMatchTime = VyTime();
    m_statistics.finalScore = score;
    m_statistics.finalTime = time;
    m_board.resetUndo();
    m_invalidateScreen();
}

void Tilmar::showHint(bool byUser)
{
    if (m_gameState != TM_STATE_PLAYING || m_bPaused)
        return;
    if (byUser)
        playSound("sound/tm_hint.ogg", 128, 0, true);
    m_expireHintHighlight();
    if (byUser)
        ++m_statistics.hintsUsed;

    HRect rect;
    if (m_board.selected) {
        TMTile *same[3];
        const int32_t found = m_board.findSameKind(m_board.selected, same);
        m_clearHintTiles();
        int32_t next = 1;
        for (int32_t i = 0; i < found; ++i) {
            if (!m_board.isVisible(same[i]))
                continue;
            m_hintTiles[0] = m_board.selected;
            m_hintTiles[next++] = same[i];
        }
        if (m_hintTiles[0]) {
            m_hintTime = getGameClock();
            for (TMTile *hint : m_hintTiles)
                if (hint) {
                    m_board.getImageRect(hint, &rect);
                    m_addDirtyRect(rect);
                }
        } else if (byUser) {
            m_noMatchTime = getGameClock();
        }
    } else if (m_board.findPair(&m_hintTiles[0], &m_hintTiles[1], m_statistics.hintsUsed)) {
        m_hintTime = getGameClock();
        m_board.getImageRect(m_hintTiles[0], &rect);
        m_addDirtyRect(rect);
        m_board.getImageRect(m_hintTiles[1], &rect);
        m_addDirtyRect(rect);
        m_hintTiles[2] = nullptr;
        m_hintTiles[3] = nullptr;
    }
    if (byUser)
        addPenalty(tmrules::kHintPenaltySeconds);
}

void Tilmar::undo()
{
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    m_board.popUndo(&first, &second);
    HRect rect;
    for (TMTile *tile : {first, second})
        if (tile) {
            m_board.getFullRect(tile, &rect);
            m_addDirtyRect(rect);
        }
    ++m_statistics.undosUsed;
    m_addDirtyRect(m_movesArea);
    m_addDirtyRect(m_tilesLeftArea);
    if (TMTile *selected = m_board.selected) {
        selected->selected = 0;
        m_board.getImageRect(selected, &rect);
        m_addDirtyRect(rect);
        deselectTile();
        m_invalidateScreen();
        m_expireHintHighlight();
        m_clearHintTiles();
    }
    addPenalty(tmrules::kUndoPenaltySeconds);
}

void Tilmar::shuffle()
{
    if (m_gameState != TM_STATE_PLAYING || m_bPaused)
        return;
    playSound("sound/tm_hint.ogg", 128, 0, true);
    m_lastProgressTime = getGameClock();
    m_board.shuffleBoard(m_rng);
    ++m_statistics.shufflesUsed;
    if (m_pUndoControl)
        m_pUndoControl->setEnabled(false);
    deselectTile();
    m_expireHintHighlight();
    m_clearHintTiles();
    m_invalidateScreen();
    addPenalty(tmrules::kShufflePenaltySeconds);
}

void Tilmar::m_onRightClick(int32_t x, int32_t y)
{
    if (m_bPaused) {
        if (m_boardArea.contains(x, y))
            setPaused(false);
        playClickSound();
        return;
    }
    if (m_gameState == TM_STATE_TITLE || m_gameState == TM_STATE_LOST || !m_board.selected)
        return;
    HRect rect;
    m_board.getImageRect(m_board.selected, &rect);
    m_addDirtyRect(rect);
    deselectTile();
    m_expireHintHighlight();
    m_clearHintTiles();
}

void Tilmar::m_autoMatch()
{
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    if (m_board.findPair(&first, &second, 0))
        m_matchPair(first, second);
}

void Tilmar::m_trackHover(int32_t x, int32_t y)
{
    TMTile *hovered = m_board.hitTest(x, y, true);
    if (hovered == m_board.hovered)
        return;
    HRect rect;
    for (TMTile *tile : {hovered, m_board.hovered})
        if (tile) {
            m_board.getFullRect(tile, &rect);
            m_addDirtyRect(rect);
        }
    m_board.hovered = hovered;
}

void Tilmar::m_onKey(const HEvent &event)
{
    const char c = static_cast<char>(event.character);

    if (c != 0 && c == kDeveloperSequence[m_developerProgress]) {
        if (++m_developerProgress == 3) {
            m_bDeveloperMode = !m_bDeveloperMode;
            m_developerProgress = 0;
            return;
        }
    }

    if (m_bDeveloperMode) {
        if (c == 'm')
            m_autoMatch();
        else if (c == 'n')
            m_noMatchTime = getGameClock();
    }

    switch (c) {
    case ' ':
        if (!m_bSpaceHeld) {
            showMoves();
            m_bSpaceHeld = true;
        }
        break;
    case 's':
        shuffle();
        break;
    case 'f':
    case 'h':
        showHint(true);
        break;
    case 'u':
        undo();
        break;
    default:
        break;
    }
}

bool Tilmar::update()
{
    if (m_gameState == TM_STATE_EXITING)
        return false;

    const uint64_t now = getLastEventTime();
    if (m_settings.autoHint && m_gameState == TM_STATE_PLAYING) {
        const int64_t idle = static_cast<int64_t>(now - m_lastProgressTime.getTime64() - getPausedTime());
        if (idle > static_cast<int64_t>(tmrules::kAutoHintDelayMs)) {
            m_lastProgressTime = getGameClock();
            showHint(false);
        }
    }

    if (m_showMovesStart.getTime64() != 0) {
        const int64_t since = static_cast<int64_t>(now - m_showMovesStart.getTime64());
        const uint32_t t = since < 0 ? 0 : static_cast<uint32_t>(since > 0xFFFFFFFFll ? 0xFFFFFFFFll : since);
        bool ended = false;
        const float alpha = m_showMovesIntensity(t, &ended);
        if (ended)
            m_showMovesStart = VyTime();
        if (alpha != m_showMovesAlpha) {
            m_showMovesAlpha = alpha;
            HRect rect;
            for (TMTile &tile : m_board.tiles)
                if (tile.present && m_board.isFree(&tile)) {
                    m_board.getFullRect(&tile, &rect);
                    m_addDirtyRect(rect);
                }
        }
    }

    m_expireHintHighlight();
    m_expireRemovedTiles();
    m_expireNoMatch();

    const uint32_t elapsed = static_cast<uint32_t>(now - m_startTime.getTime64() - getPausedTime());
    const int32_t seconds = static_cast<int32_t>(elapsed / 1000) + m_penaltySeconds;
    if (seconds % 60 != m_lastClockSeconds) {
        m_lastClockSeconds = seconds % 60;
        m_addDirtyRect(m_timeArea);
    }
    return true;
}

int32_t Tilmar::handleEvent(const HEvent &event)
{
    switch (event.type) {
    case ET_QUIT:
        exitGame();
        break;
    case ET_TOGGLE_FULLSCREEN:
        toggleFullscreen();
        break;
    case ET_KEYUP:
        if (event.keyCode == KC_SPACE)
            m_bSpaceHeld = false;
        break;
    case ET_KEYDOWN:
        if (event.keyCode == KC_LBUTTON)
            m_onTileClick(event.x, event.y);
        else if (event.keyCode == KC_RBUTTON)
            m_onRightClick(event.x, event.y);
        else
            m_onKey(event);
        break;
    case ET_MOUSEMOVE:
        if (event.x != m_lastPointerX || event.y != m_lastPointerY) {
            m_lastPointerX = event.x;
            m_lastPointerY = event.y;
            m_trackHover(event.x, event.y);
        }
        break;
    case ET_PASTE:
    case ET_PAINT:
    case ET_ACTIVATE:
    case ET_WINDOW_MINIMIZED:
    case ET_MOUSEWHEEL:
    case ET_TIMESTAMP:
        break;
    default:
        warningPrint("Unknown event type");
        break;
    }
    if (event.type == ET_TIMESTAMP || event.type == ET_QUIT)
        return update() ? 0 : 1;
    return 0;
}
