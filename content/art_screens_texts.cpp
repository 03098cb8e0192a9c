// The picture texts that state the game's rule numbers.
#include "content/art_screens_parts.h"
#include "game/TMRules.h"

#include <cstdio>

namespace content {
namespace screenart {

std::string penaltySeconds(int32_t seconds)
{
    return "+" + std::to_string(seconds) + " s";
}

std::string penaltyClock(int32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "+%d:%02d", int(seconds / 60), int(seconds % 60));
    return text;
}

const RuleTexts &ruleTexts()
{
    using namespace tmrules;
    static const RuleTexts texts = [] {
        const std::string delay = std::to_string(kAutoHintDelayMs / 1000) + " seconds";
        RuleTexts t;
        t.hintPenalty = penaltySeconds(kHintPenaltySeconds);
        t.undoPenalty = penaltySeconds(kUndoPenaltySeconds);
        t.shufflePenalty = penaltySeconds(kShufflePenaltySeconds);
        t.autoHintHelp = "After " + delay +
                         " without a match a hint appears by itself, free of penalty; switch it off in the "
                         "options. The Pause button stops the clock and hides the table.";
        t.autoHintOption = "Automatic hints show a pair after " + delay + " without a match.";
        // The dialog leaves the shuffle out when a single tile is free.
        t.noMoreMovesUndo = "Undo (" + penaltyClock(kUndoPenaltySeconds) + ") or end the game.";
        t.noMoreMovesShuffle = "Shuffle (" + penaltyClock(kShufflePenaltySeconds) + ") needs two free tiles.";
        return t;
    }();
    return texts;
}

} // namespace screenart
} // namespace content
