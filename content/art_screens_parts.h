// The pieces of the screen art, and the sizes other pictures must agree on.
#ifndef CONTENT_ART_SCREENS_PARTS_H
#define CONTENT_ART_SCREENS_PARTS_H

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "game/TMScreenLayout.h"

#include <cstdint>
#include <string>

namespace content {
namespace screenart {

// The continue control has only a lit picture; its plain look is painted
// into the end pictures at the control's spot, so both share this size.
constexpr int kContinueW = 270, kContinueH = 40;

// The best-times OK and Clear buttons, likewise painted into their dialog.
constexpr int kBestOkW = 100, kBestOkH = 38;
constexpr int kBestClearW = 120, kBestClearH = 46;

void addLoadingScreen(Entries &out);  // loading picture and progress bar
void addScreens(Entries &out);        // panel, title, pause, end pictures, no-match plate
void addControls(Entries &out);       // left-panel controls, start, continue, arrows, HUD labels
void addFontAndDigits(Entries &out);  // the 8 x 12 font and the HUD glyphs
void addDialogs(Entries &out);        // confirmations, no more moves, options, best times, enter name
void addRules(Entries &out);          // the two rules pages and their buttons

// The texts of the pictures that state the game's rule numbers, formatted
// from game/TMRules.h so that no picture can state a number the game does
// not apply.
struct RuleTexts
{
    // The help page's penalty column: "+30 s".
    std::string hintPenalty, undoPenalty, shufflePenalty;
    // The help page's paragraph and the options dialog's note on the
    // automatic hint.
    std::string autoHintHelp, autoHintOption;
    // The no-more-moves dialog's two lines under its first one: true
    // whether or not the dialog offers a shuffle.
    std::string noMoreMovesUndo, noMoreMovesShuffle;
};
const RuleTexts &ruleTexts();
// A penalty in seconds ("+30 s") and on the clock ("+2:00").
std::string penaltySeconds(int32_t seconds);
std::string penaltyClock(int32_t seconds);

// Pictures the tests look at directly.
Picture fontPicture();
Picture digitPicture(char c);
// The plain look of the continue control as painted into the end pictures.
Picture continuePlain();
// A best-times button (OK or Clear) of the given size, plain or lit; the
// plain looks are painted into the dialog's background.
Picture bestTimesButton(int w, int h, const char *label, bool lit);

} // namespace screenart
} // namespace content

#endif
