// The game's on-screen controls and their creation. Every control asks the
// one game object for its visibility and look and hands its press to one of
// the game's commands.
#include "game/TMControls.h"

#include "framework/VGControlDelegate.h"
#include "game/TMScreenLayout.h"
#include "game/Tilmar.h"

namespace {

const char *const kArrowSound = "sound/tm_click.wav";
const int32_t kSoundVolume = 128;

Tilmar *s_game()
{
    return getTilmar();
}

// The looks are chosen again on every draw, so a missing picture must not
// alert each frame.
VGSprite *s_loadedArt(int32_t index)
{
    return s_game()->getLoadedSprite(index);
}

// Gives a button its normal and lit pictures (the lit one also while
// pressed); no control here has a disabled picture.
void s_setLook(UIControl *control, VGSprite *normal, VGSprite *lit)
{
    static_cast<VGControlDelegate *>(control->getDelegate())->setSprites(normal, lit, nullptr, lit);
}

void s_pressArrow(void (Tilmar::*cycle)(int32_t), int32_t delta)
{
    s_game()->playSound(kArrowSound, kSoundVolume, 0, false);
    (s_game()->*cycle)(delta);
}

bool s_isPlaying()
{
    return s_game()->getGameState() == TM_STATE_PLAYING;
}

} // namespace

// ----- State-limited controls -----

TMStateLimitedControl::TMStateLimitedControl(UIControlDelegate *delegate)
    : UIControl(delegate), m_requiredState(TM_STATE_TITLE), m_bAllowedWhilePaused(0)
{
}

TMStateLimitedControl::~TMStateLimitedControl() {}

bool TMStateLimitedControl::isVisible() const
{
    const Tilmar *game = s_game();
    return game->getGameState() == m_requiredState && (!game->isPlayerPaused() || m_bAllowedWhilePaused);
}

TMHintControl::~TMHintControl() {}

void TMHintControl::draw(const HRect &clip)
{
    // With a tile selected the button finds its match instead.
    if (s_game()->getBoard().selected)
        s_setLook(this, s_loadedArt(TM_ART_FIND_MATCH), s_loadedArt(TM_ART_FIND_MATCH_LIT));
    else
        s_setLook(this, s_loadedArt(TM_ART_HINT), s_loadedArt(TM_ART_HINT_LIT));
    UIControl::draw(clip);
}

void TMHintControl::onPress()
{
    s_game()->showHint(true);
}

TMRestartControl::~TMRestartControl() {}

void TMRestartControl::onPress()
{
    s_game()->playClickSound();
    setHovered(false);
    s_game()->returnToTitle(true);
}

bool TMRestartControl::capturesMouse() const
{
    return false;
}

TMClickToStartControl::~TMClickToStartControl() {}

void TMClickToStartControl::onPress()
{
    s_game()->playClickSound();
    s_game()->startGame();
}

TMClickToContinueControl::~TMClickToContinueControl() {}

void TMClickToContinueControl::onPress()
{
    s_game()->playClickSound();
    setHovered(false);
    s_game()->enterBestTime();
    s_game()->returnToTitle(false);
}

bool TMClickToContinueControl::capturesMouse() const
{
    return false;
}

TMTableTopDecrementControl::~TMTableTopDecrementControl() {}

void TMTableTopDecrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleBackground, -1);
}

TMTableTopIncrementControl::~TMTableTopIncrementControl() {}

void TMTableTopIncrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleBackground, 1);
}

TMTileSetDecrementControl::~TMTileSetDecrementControl() {}

void TMTileSetDecrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleTileSet, -1);
}

TMTileSetIncrementControl::~TMTileSetIncrementControl() {}

void TMTileSetIncrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleTileSet, 1);
}

TMLayoutDecrementControl::~TMLayoutDecrementControl() {}

void TMLayoutDecrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleLayout, -1);
}

TMLayoutIncrementControl::~TMLayoutIncrementControl() {}

void TMLayoutIncrementControl::onPress()
{
    s_pressArrow(&Tilmar::cycleLayout, 1);
}

// ----- The left panel's other buttons and the labels -----

TMExitControl::~TMExitControl() {}

void TMExitControl::onPress()
{
    // The question and the exit run on a clock that is not paused.
    s_game()->setPaused(false);
    s_game()->playClickSound();
    setHovered(false);
    s_game()->exitGame();
}

bool TMExitControl::capturesMouse() const
{
    return false;
}

TMOptionsControl::~TMOptionsControl() {}

void TMOptionsControl::onPress()
{
    s_game()->playClickSound();
    setHovered(false);
    s_game()->showOptions();
}

bool TMOptionsControl::capturesMouse() const
{
    return false;
}

TMShowMovesControl::~TMShowMovesControl() {}

void TMShowMovesControl::onPress()
{
    s_game()->showMoves();
}

TMPauseControl::~TMPauseControl() {}

void TMPauseControl::draw(const HRect &clip)
{
    if (s_game()->isPlayerPaused())
        s_setLook(this, s_loadedArt(TM_ART_RESUME), s_loadedArt(TM_ART_RESUME_LIT));
    else
        s_setLook(this, s_loadedArt(TM_ART_PAUSE_ICON), s_loadedArt(TM_ART_PAUSE_ICON_LIT));
    UIControl::draw(clip);
}

void TMPauseControl::onPress()
{
    s_game()->playClickSound();
    s_game()->setPaused(!s_game()->isPlayerPaused());
}

bool TMPauseControl::isVisible() const
{
    return s_isPlaying();
}

TMRulesControl::~TMRulesControl() {}

void TMRulesControl::onPress()
{
    s_game()->playClickSound();
    setHovered(false);
    s_game()->showRules();
}

bool TMRulesControl::capturesMouse() const
{
    return false;
}

TMShuffleControl::~TMShuffleControl() {}

void TMShuffleControl::onPress()
{
    s_game()->shuffle();
}

bool TMShuffleControl::isVisible() const
{
    return s_game()->canShuffle();
}

TMUndoControl::~TMUndoControl() {}

void TMUndoControl::onPress()
{
    s_game()->playSound("sound/tm_hint.ogg", kSoundVolume, 0, true);
    s_game()->undo();
}

bool TMUndoControl::isVisible() const
{
    return s_game()->getBoard().undoTop < 0;
}

TMLabelControl::~TMLabelControl() {}

bool TMLabelControl::isVisible() const
{
    const int32_t state = s_game()->getGameState();
    return state != TM_STATE_TITLE && state != TM_STATE_EXITING && !s_game()->isPlayerPaused();
}

// ----- Creation -----

namespace {

enum
{
    kNoSprite = -1,
    kNotLimited = -1 // the control's own test decides where it shows
};

template <class Control>
UIControl *s_make(UIControlDelegate *delegate)
{
    return new Control(delegate);
}

struct ControlRow
{
    UIControl *(*make)(UIControlDelegate *);
    tmscreen::Point at;
    int32_t normal; // art slots, or kNoSprite
    int32_t lit;
    int32_t state; // required state of a state-limited control
    bool label;    // one picture in all four looks
};

// In creation order; the manager offers events to the last one first.
const ControlRow kControlRows[] = {
    {s_make<TMExitControl>, tmscreen::kExitControl, TM_ART_EXIT, TM_ART_EXIT_LIT, kNotLimited, false},
    {s_make<TMOptionsControl>, tmscreen::kOptionsControl, TM_ART_OPTIONS, TM_ART_OPTIONS_LIT, kNotLimited, false},
    {s_make<TMShowMovesControl>, tmscreen::kShowMovesControl, TM_ART_SHOW_MOVES, TM_ART_SHOW_MOVES_LIT,
     kNotLimited, false},
    {s_make<TMHintControl>, tmscreen::kHintControl, TM_ART_HINT, TM_ART_HINT_LIT, TM_STATE_PLAYING, false},
    {s_make<TMPauseControl>, tmscreen::kPauseControl, TM_ART_PAUSE_ICON, TM_ART_PAUSE_ICON_LIT, kNotLimited,
     false},
    {s_make<TMRestartControl>, tmscreen::kRestartControl, TM_ART_NEW_GAME, TM_ART_NEW_GAME_LIT,
     TM_STATE_PLAYING, false},
    {s_make<TMRulesControl>, tmscreen::kRulesControl, TM_ART_RULES, TM_ART_RULES_LIT, kNotLimited, false},
    {s_make<TMShuffleControl>, tmscreen::kShuffleControl, TM_ART_SHUFFLE, TM_ART_SHUFFLE_LIT, kNotLimited, false},
    {s_make<TMUndoControl>, tmscreen::kUndoControl, TM_ART_UNDO, TM_ART_UNDO_LIT, kNotLimited, false},
    {s_make<TMClickToStartControl>, tmscreen::kStartControl, TM_ART_START, TM_ART_START_LIT, TM_STATE_TITLE,
     false},
    {s_make<TMClickToContinueControl>, tmscreen::kContinueControl, kNoSprite, TM_ART_CONTINUE_LIT, TM_STATE_LOST,
     false},
    {s_make<TMClickToContinueControl>, tmscreen::kContinueControl, kNoSprite, TM_ART_CONTINUE_LIT, TM_STATE_WON,
     false},
    {s_make<TMTableTopDecrementControl>, tmscreen::kBackgroundLeftArrow, TM_ART_ARROW_LEFT,
     TM_ART_ARROW_LEFT_LIT, TM_STATE_TITLE, false},
    {s_make<TMTableTopIncrementControl>, tmscreen::kBackgroundRightArrow, TM_ART_ARROW_RIGHT,
     TM_ART_ARROW_RIGHT_LIT, TM_STATE_TITLE, false},
    {s_make<TMTileSetDecrementControl>, tmscreen::kTileSetLeftArrow, TM_ART_ARROW_LEFT, TM_ART_ARROW_LEFT_LIT,
     TM_STATE_TITLE, false},
    {s_make<TMTileSetIncrementControl>, tmscreen::kTileSetRightArrow, TM_ART_ARROW_RIGHT, TM_ART_ARROW_RIGHT_LIT,
     TM_STATE_TITLE, false},
    {s_make<TMLayoutDecrementControl>, tmscreen::kLayoutLeftArrow, TM_ART_ARROW_LEFT, TM_ART_ARROW_LEFT_LIT,
     TM_STATE_TITLE, false},
    {s_make<TMLayoutIncrementControl>, tmscreen::kLayoutRightArrow, TM_ART_ARROW_RIGHT, TM_ART_ARROW_RIGHT_LIT,
     TM_STATE_TITLE, false},
    {s_make<TMLabelControl>, tmscreen::kTimeLabel, TM_ART_TIME_LABEL, TM_ART_TIME_LABEL, kNotLimited, true},
    {s_make<TMLabelControl>, tmscreen::kMovesLabel, TM_ART_MOVES_LABEL, TM_ART_MOVES_LABEL, kNotLimited, true},
    {s_make<TMLabelControl>, tmscreen::kTilesLeftLabel, TM_ART_TILES_LEFT_LABEL, TM_ART_TILES_LEFT_LABEL,
     kNotLimited, true},
};

} // namespace

void Tilmar::createControls()
{
    // The no-match overlay sits centred in the board area, lifted a little.
    int32_t width = 0;
    int32_t height = 0;
    if (VGSprite *noMatch = getSprite(TM_ART_NO_MATCH)) {
        width = noMatch->getWidth();
        height = noMatch->getHeight();
    }
    const tmscreen::Box &board = tmscreen::kBoardArea;
    const int32_t x0 = (board.x1 - board.x0 - width) / 2 + board.x0;
    const int32_t y0 = (board.y1 - board.y0 - height) / 2 - tmscreen::kNoMatchRaise;
    m_noMatchRect = HRect(x0, y0, x0 + width, y0 + height);

    for (const ControlRow &row : kControlRows) {
        VGControlDelegate *delegate = new VGControlDelegate();
        UIControl *control = row.make(delegate);
        if (row.state != kNotLimited) {
            TMStateLimitedControl *limited = static_cast<TMStateLimitedControl *>(control);
            limited->setRequiredState(row.state);
            limited->setAllowedWhilePaused(false);
        }
        control->setPosition(row.at.x, row.at.y);
        VGSprite *normal = row.normal == kNoSprite ? nullptr : getSprite(row.normal);
        VGSprite *lit = getSprite(row.lit);
        delegate->setSprites(normal, lit, row.label ? normal : nullptr, lit);
        addControl(control);

        // Show-moves and undo are reached from the keyboard and the
        // no-more-moves dialog only.
        if (dynamic_cast<TMShowMovesControl *>(control)) {
            control->setEnabled(false);
            m_pShowMovesControl = control;
        } else if (dynamic_cast<TMUndoControl *>(control)) {
            control->setEnabled(false);
            m_pUndoControl = control;
        } else if (dynamic_cast<TMShuffleControl *>(control)) {
            m_pShuffleControl = control;
        } else if (dynamic_cast<TMRestartControl *>(control)) {
            m_pRestartControl = control;
        }
    }
}
