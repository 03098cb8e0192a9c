// The game's rule numbers: what each help costs on the clock and how long
// the player may go without a match before a hint shows by itself. The game
// applies them and the content kit states them in its rules and dialog
// pictures, both from this one copy.
#ifndef GAME_TMRULES_H
#define GAME_TMRULES_H

#include <cstdint>

namespace tmrules {

// Seconds added to the score by each help the player asks for.
constexpr int32_t kHintPenaltySeconds = 30;
constexpr int32_t kUndoPenaltySeconds = 60;
constexpr int32_t kShufflePenaltySeconds = 120;

// Playing time without progress, in milliseconds, before the automatic
// hint; a whole number of seconds, as the pictures state it in seconds.
constexpr uint64_t kAutoHintDelayMs = 45000;
static_assert(kAutoHintDelayMs % 1000 == 0, "the automatic hint's delay is stated in whole seconds");

} // namespace tmrules

#endif
