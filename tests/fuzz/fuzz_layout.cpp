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

    for (int32_t y = -60; y < 540; y += 29)
        for (int32_t x = -60; x < 700; x += 31)
            board.hitTest(x, y, (x + y) & 1);

    VyTime now;
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    // Three moves and a shuffle reach every lookup; each move counts the
    // available pairs, a search of the board per tile, which under the
    // fuzzer's coverage hooks is the whole cost of an input.
    for (int32_t round = 0; round < 3 && board.findPair(&first, &second, round); ++round) {
        board.removePair(first, second, now);
        if (round == 1)
            board.shuffleBoard(rng);
    }
    board.popUndo(&first, &second);
    board.sortDrawList();
    if (files.openCount() != 0)
        __builtin_trap();  // the reader left its file open
    return 0;
}
