// A solver for dealt boards that knows every tile's kind: repeated greedy
// games over matching pairs of free tiles, using the board's free rule
// (nothing on the tile, one long side open). It proves nothing when it
// fails; a deal it solves is solvable.
#ifndef TESTS_CONTENT_LAYOUT_SOLVER_H
#define TESTS_CONTENT_LAYOUT_SOLVER_H

#include <cstdint>
#include <utility>
#include <vector>

#include "game/TMBoard.h"

namespace kit_test {

struct SolveResult
{
    bool solved = false;
    int games = 0;  // games played until solved, or all of them
    std::vector<std::pair<int, int>> moves;  // tile indices, in removal order
};

// Solves the board as dealt (all 144 tiles present, kinds set) in at most
// the given number of games.
SolveResult solveBoard(const TMBoard &board, int games);

// Plays the moves on a copy of the board through removePair, checking with
// TMBoard::isFree that both tiles are present and free and have one kind;
// true when the board ends empty.
bool replayOnBoard(const TMBoard &board, const std::vector<std::pair<int, int>> &moves);

} // namespace kit_test

#endif
