// Where things sit on the 640 x 480 game screen: the board area, the
// head-up display, the controls, the title screen's pictures and the items
// of the game's dialogs. The game places them, the content kit paints its
// pictures around them and the tests click on them, all from this one copy.
#ifndef GAME_TMSCREENLAYOUT_H
#define GAME_TMSCREENLAYOUT_H

#include <cstdint>

namespace tmscreen {

struct Point
{
    int32_t x;
    int32_t y;
};

struct Box
{
    int32_t x0, y0, x1, y1;
};

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;
// The left panel is 125 pixels wide; the board area is the rest.
constexpr int32_t kPanelWidth = 125;
constexpr Box kBoardArea = {125, 0, 640, 480};

// Head-up display: the areas redrawn for each number, and where the last
// character of each number is drawn (its left edge).
constexpr Box kTilesLeftArea = {574, 450, 640, 480};
constexpr Box kMovesArea = {417, 450, 470, 480};
constexpr Box kTimeArea = {211, 450, 314, 480};
constexpr Point kTilesLeftText = {610, 452};
constexpr Point kMovesText = {440, 452};
constexpr Point kTimeText = {270, 452};

// Pictures drawn whole at a fixed corner.
constexpr Point kTitlePicture = {120, 0};
constexpr Point kBackgroundPicture = {120, 0};
constexpr Point kEndPicture = {125, 0};
constexpr Point kPausePicture = {125, 0};
// Title-screen previews: centred in the board area's width (515) plus the
// offset, at the given top.
constexpr int32_t kPreviewSpan = 515;
constexpr Point kBackgroundPreview = {126, 39};
constexpr Point kTileSetPreview = {125, 53};
constexpr Point kLayoutPreview = {126, 203};
constexpr Point kLayoutTitle = {126, 160};
// The loading screen's progress bar.
constexpr Point kProgressBar = {120, 336};

// The controls, by their top-left corners.
constexpr Point kExitControl = {35, 447};
constexpr Point kOptionsControl = {17, 175};
constexpr Point kShowMovesControl = {0, 292};
constexpr Point kHintControl = {6, 257};
constexpr Point kPauseControl = {16, 327};
constexpr Point kRestartControl = {1, 105};
constexpr Point kRulesControl = {27, 210};
constexpr Point kShuffleControl = {12, 397};
constexpr Point kUndoControl = {35, 362};
constexpr Point kStartControl = {324, 429};
constexpr Point kContinueControl = {248, 334};
constexpr Point kBackgroundLeftArrow = {202, 87};
constexpr Point kBackgroundRightArrow = {238, 87};
constexpr Point kTileSetLeftArrow = {498, 86};
constexpr Point kTileSetRightArrow = {533, 86};
constexpr Point kLayoutLeftArrow = {260, 151};
constexpr Point kLayoutRightArrow = {474, 151};
constexpr Point kTimeLabel = {134, 444};
constexpr Point kMovesLabel = {303, 444};
constexpr Point kTilesLeftLabel = {460, 444};

// Options dialog (at (125, 0)); item positions are relative to it.
constexpr Point kOptionsDialog = {125, 0};
constexpr Point kOptionsOk = {63, 396};
constexpr Point kOptionsBestTimes = {63, 269};
constexpr Point kOptionsVisit = {63, 334};
constexpr Point kOptionsSoundSlider = {250, 119};
constexpr Point kOptionsMusicSlider = {250, 166};
constexpr int32_t kOptionsSliderTrack = 160;
constexpr Point kOptionsFullscreen = {175, 218};
constexpr Point kOptionsAutoHints = {434, 218};

// Best-times dialog (at (125, 0)).
constexpr Point kBestTimesDialog = {125, 0};
constexpr Point kBestTimesOk = {329, 421};
constexpr Point kBestTimesClear = {109, 417};
constexpr Point kBestTimesNext = {338, 60};
constexpr Point kBestTimesPrevious = {145, 60};
constexpr int32_t kBestTimesTitleY = 68;  // x centres the title on the background
constexpr int32_t kBestTimesFirstRowY = 148;
constexpr int32_t kBestTimesRowStep = 35;
constexpr int32_t kBestTimesNameX = 60;       // left edge
constexpr int32_t kBestTimesTilesLeftX = 260; // right edges
constexpr int32_t kBestTimesScoreX = 345;
constexpr int32_t kBestTimesTimeX = 440;

// Enter-name dialog (centred in the board area); relative positions.
constexpr Point kEnterNameEdit = {30, 164};
constexpr Box kEnterNameEditBox = {30, 164, 130, 176};
constexpr int32_t kEnterNameScoreY = 85;  // x is the background's middle

// The leave-the-game confirmation: its left edge; it is centred vertically.
constexpr int32_t kRestartConfirmX = 220;
// The rules slide show covers the board area.
constexpr Point kRulesDialog = {125, 0};
// The no-match overlay is centred in the board area, raised by this much.
constexpr int32_t kNoMatchRaise = 50;

// The are-you-sure and no-more-moves dialogs are centred on the screen and
// then moved by these offsets.
constexpr Point kConfirmOffset = {62, 30};
constexpr Point kNoMoreMovesOffset = {63, 45};

// No-more-moves dialog: the buttons' tops (x centres each on the background,
// the undo button two pixels left of centre).
constexpr int32_t kNoMoreMovesShuffleY = 125;
constexpr int32_t kNoMoreMovesUndoY = 160;
constexpr int32_t kNoMoreMovesEndGameY = 195;
constexpr int32_t kNoMoreMovesUndoShift = -2;

// The game font's cells.
constexpr int32_t kFontCellWidth = 8;
constexpr int32_t kFontCellHeight = 12;

} // namespace tmscreen

#endif
