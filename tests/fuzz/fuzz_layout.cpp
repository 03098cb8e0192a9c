// A layout file as the game reads it: the positions parsed, a deal on them,
// then a few moves played (pairs removed, hit tests over the board
// area, a shuffle, undo), so absurd coordinates reach every grid lookup.
#include <cstdint>
#include <string>

#include "engine/core/HRNG.h"
#include "engine/core/VyTime.h"
#include "game/TMBoard.h"
#include "support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemoryFileSystem files;
    const char *name = getLayoutFileName(3);
    files.add(name, std::string(reinterpret_cast<const char *>(data), size));

    TMLayoutPosition positions[TM_TILE_COUNT + 1];
    TMBoard::readLayout(&files, name, positions, TM_TILE_COUNT * sizeof(TMLayoutPosition));

    HMersenneTwisterRNG rng;
    rng.seed(static_cast<uint32_t>(size) + 1);
    TMBoard board;
    board.deal(&files, rng, name);
    board.sortDrawList();

    for (int32_t y = -60; y < 540; y += 23)
        for (int32_t x = -60; x < 700; x += 17)
            board.hitTest(x, y, (x + y) & 1);

    VyTime now;
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    // A few moves are enough to reach every lookup; on a degenerate layout
    // (all tiles on one spot) each pair search costs the cube of the tiles.
    for (int32_t round = 0; round < 6 && board.findPair(&first, &second, round); ++round) {
        board.removePair(first, second, now);
        board.countAvailablePairs();
        if (round == 3)
            board.shuffleBoard(rng);
    }
    board.popUndo(&first, &second);
    board.sortDrawList();
    if (files.openCount() != 0)
        __builtin_trap();  // the reader left its file open
    return 0;
}
