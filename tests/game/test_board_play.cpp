// Removal and undo, shuffling and dealing.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "board_support.h"
#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"

namespace {

std::multiset<std::pair<int32_t, int32_t>> presentKinds(const TMBoard &board)
{
    std::multiset<std::pair<int32_t, int32_t>> kinds;
    for (const TMTile &t : board.tiles)
        if (t.present)
            kinds.insert({t.kind, t.image});
    return kinds;
}

// A directory holding the three-layer layout as "layouts/classic.tml" and
// "layouts/pyramid.tml" (the same positions), mounted as a file system.
class LayoutDir
{
public:
    LayoutDir()
    {
        dir.write("layouts/classic.tml", layoutText(threeLayerLayout()));
        dir.write("layouts/pyramid.tml", layoutText(threeLayerLayout()));
        fs.mount(dir.path().c_str());
    }
    TempDir dir;
    HStandardFileSystem fs;
};

} // namespace

TEST(RemovePair, TakesThePairOffAsOneUndoEntry)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 1, 2, 2, 3}));
    TMTile *clicked = &board.tiles[1];
    TMTile *selected = &board.tiles[0];
    selected->selected = 1;
    board.selected = selected;
    ASSERT_EQ(board.movesAvailable, 2);

    board.removePair(clicked, selected, VyTime(12345, 1));

    EXPECT_EQ(clicked->present, 0);
    EXPECT_EQ(selected->present, 0);
    EXPECT_EQ(selected->selected, 0);
    EXPECT_EQ(board.selected, nullptr);
    EXPECT_EQ(clicked->removedAt.low, 12345u);
    EXPECT_EQ(clicked->removedAt.high, 1u);
    EXPECT_EQ(selected->removedAt.getTime64(), clicked->removedAt.getTime64());
    EXPECT_EQ(board.tilesLeft, 3);
    EXPECT_EQ(board.movesAvailable, 1);
    ASSERT_EQ(board.undoTop, 0);
    EXPECT_EQ(board.undoStack[0].first, clicked);
    EXPECT_EQ(board.undoStack[0].second, selected);
}

TEST(RemovePair, ClearsASelectionElsewhere)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 1, 2}));
    board.tiles[2].selected = 1;
    board.selected = &board.tiles[2];
    board.removePair(&board.tiles[0], &board.tiles[1], VyTime(1));
    EXPECT_EQ(board.selected, nullptr);
    EXPECT_EQ(board.tiles[2].selected, 0);
    EXPECT_EQ(board.tiles[2].present, 1);
}

TEST(Undo, RestoresPairsLastFirst)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 1, 2, 2}));
    board.removePair(&board.tiles[1], &board.tiles[0], VyTime(100));
    board.removePair(&board.tiles[3], &board.tiles[2], VyTime(200));
    ASSERT_EQ(board.tilesLeft, 0);
    ASSERT_EQ(board.movesAvailable, 0);

    TMTile *first = nullptr;
    TMTile *second = nullptr;
    board.popUndo(&first, &second);
    EXPECT_EQ(first, &board.tiles[3]);
    EXPECT_EQ(second, &board.tiles[2]);
    EXPECT_EQ(board.tiles[3].present, 1);
    EXPECT_EQ(board.tiles[2].present, 1);
    EXPECT_EQ(board.tiles[0].present, 0);
    EXPECT_EQ(board.tilesLeft, 2);
    EXPECT_EQ(board.movesAvailable, 1);
    EXPECT_EQ(board.undoTop, 0);
    EXPECT_EQ(board.tiles[3].removedAt.low, 200u) << "the fade time is left for the drawing to clear";

    board.popUndo(&first, &second);
    EXPECT_EQ(first, &board.tiles[1]);
    EXPECT_EQ(second, &board.tiles[0]);
    EXPECT_EQ(board.tilesLeft, 4);
    EXPECT_EQ(board.movesAvailable, 2);
    EXPECT_EQ(board.undoTop, -1);
}

TEST(Undo, EmptyStackAnswersNullsAndChangesNothing)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 1}));
    board.movesAvailable = 77;  // not recounted when nothing was restored
    TMTile *first = &board.tiles[5];
    TMTile *second = &board.tiles[5];
    board.popUndo(&first, &second);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(board.tilesLeft, 2);
    EXPECT_EQ(board.movesAvailable, 77);
    EXPECT_EQ(board.undoTop, -1);
    board.popUndo(nullptr, nullptr);  // outputs are optional
}

TEST(Undo, FullGameOfRemovalsFitsTheStack)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(7);
    TMBoard board;
    board.deal(&layouts.fs, rng, "layouts/classic.tml");
    // Remove all 144 tiles in matching pairs regardless of the free rule.
    std::map<int32_t, std::vector<TMTile *>> byKind;
    for (TMTile &t : board.tiles)
        byKind[t.kind].push_back(&t);
    for (auto &entry : byKind)
        for (size_t i = 0; i + 1 < entry.second.size(); i += 2)
            board.removePair(entry.second[i], entry.second[i + 1], VyTime(5));
    EXPECT_EQ(board.tilesLeft, 0);
    EXPECT_EQ(board.undoTop, TM_UNDO_DEPTH - 1);
    for (int32_t i = 0; i < TM_UNDO_DEPTH; ++i)
        board.popUndo(nullptr, nullptr);
    EXPECT_EQ(board.tilesLeft, 144);
    EXPECT_EQ(board.undoTop, -1);
}

// A copy is a board of its own: every pointer it holds points into its own
// tiles, so playing on the copy leaves the original as it was.
TEST(BoardCopy, PointsIntoItsOwnTiles)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(11);
    TMBoard original;
    original.deal(&layouts.fs, rng, "layouts/classic.tml");
    TMTile *a = nullptr;
    TMTile *b = nullptr;
    ASSERT_TRUE(original.findPair(&a, &b, 0));
    original.removePair(a, b, VyTime(9));
    original.tiles[40].selected = 1;
    original.selected = &original.tiles[40];
    original.hovered = &original.tiles[41];

    auto check = [&](TMBoard &copy, const char *how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(copy.selected, &copy.tiles[40]);
        EXPECT_EQ(copy.hovered, &copy.tiles[41]);
        ASSERT_EQ(copy.undoTop, 0);
        EXPECT_EQ(copy.undoStack[0].first, &copy.tiles[indexOf(original, a)]);
        EXPECT_EQ(copy.undoStack[0].second, &copy.tiles[indexOf(original, b)]);
        EXPECT_EQ(copy.undoStack[1].first, nullptr);
        for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
            EXPECT_EQ(copy.drawList[i], &copy.tiles[indexOf(original, original.drawList[i])]) << i;
        EXPECT_EQ(copy.tilesLeft, 142);
        EXPECT_EQ(copy.movesAvailable, original.movesAvailable);

        // Undo and a new selection on the copy touch only the copy.
        copy.popUndo(nullptr, nullptr);
        copy.clearSelection();
        EXPECT_EQ(copy.tilesLeft, 144);
        EXPECT_EQ(original.tilesLeft, 142);
        EXPECT_EQ(a->present, 0);
        EXPECT_EQ(b->present, 0);
        EXPECT_EQ(original.tiles[40].selected, 1);
        EXPECT_EQ(original.undoTop, 0);
    };
    TMBoard constructed(original);
    check(constructed, "copy-constructed");
    TMBoard assigned;
    assigned.deal(&layouts.fs, rng, "layouts/pyramid.tml");
    assigned = original;
    check(assigned, "assigned over a dealt board");

    TMBoard &same = original;
    original = same;
    EXPECT_EQ(original.selected, &original.tiles[40]);
    EXPECT_EQ(original.undoStack[0].first, a);
}

TEST(Shuffle, DrawsInOrderAndSwapsKindAndPicture)
{
    // Present tiles 0, 2, 5 and 7 (the others were removed), all free.
    TMBoard board;
    setUpBoard(board, {{0, 0, 0, 1, 10}, {10, 0, 0, 9, 90}, {20, 0, 0, 1, 11}, {30, 0, 0, 9, 90},
                       {40, 0, 0, 9, 90}, {50, 0, 0, 2, 20}, {60, 0, 0, 9, 90}, {70, 0, 0, 2, 21}});
    for (int32_t i : {1, 3, 4, 6})
        board.tiles[i].present = 0;
    board.tiles[5].selected = 1;
    board.tiles[5].removedAt = VyTime(42);
    board.undoTop = 0;

    // Tile 0 rejects itself and the absent tile 3, then takes 5; tile 5
    // rejects itself and takes 2; tiles 2 and 7 take 7 and 0 at once.
    ScriptedRNG rng({0, 3, 5, 7, 5, 2, 0});
    board.shuffleBoard(rng);

    EXPECT_EQ(rng.draws, 7u) << "a pair exists after one pass";
    EXPECT_EQ(rng.lastMax, 143u);
    // Swaps (0,5), (2,7), (5,2), (7,0).
    EXPECT_EQ(board.tiles[0].kind, 1);
    EXPECT_EQ(board.tiles[0].image, 11);
    EXPECT_EQ(board.tiles[2].image, 10);
    EXPECT_EQ(board.tiles[5].image, 21);
    EXPECT_EQ(board.tiles[7].image, 20);
    // Position, selection and fade time stay with the tile.
    EXPECT_EQ(board.tiles[5].x, 50);
    EXPECT_EQ(board.tiles[5].selected, 1);
    EXPECT_EQ(board.tiles[5].removedAt.low, 42u);
    EXPECT_EQ(board.undoTop, -1);
    EXPECT_EQ(board.movesAvailable, 2);
}

TEST(Shuffle, TwoTileStackMakesOnePassAndStops)
{
    TMBoard board;
    setUpBoard(board, {{0, 0, 0, 1, 1}, {0, 0, 1, 2, 2}});
    ASSERT_EQ(board.countFreeTiles(), 1);
    ScriptedRNG rng({1, 0});
    board.shuffleBoard(rng);
    EXPECT_EQ(rng.draws, 2u);
    // Swapped twice: back where they were.
    EXPECT_EQ(board.tiles[0].kind, 1);
    EXPECT_EQ(board.tiles[1].kind, 2);
    EXPECT_EQ(board.movesAvailable, 0);
}

TEST(Shuffle, EmptiesTheUndoStack)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 1, 2, 2, 3, 3}));
    board.removePair(&board.tiles[0], &board.tiles[1], VyTime(10));
    ASSERT_EQ(board.undoTop, 0);
    HMersenneTwisterRNG rng;
    rng.seed(99);
    board.shuffleBoard(rng);
    TMTile *first = &board.tiles[0];
    TMTile *second = &board.tiles[0];
    board.popUndo(&first, &second);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(board.tilesLeft, 4);
    EXPECT_EQ(board.tiles[0].present, 0) << "the removed pair stays removed";
}

TEST(Shuffle, KeepsTheTilesAndEndsWithAPair)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(31337);
    TMBoard board;
    board.deal(&layouts.fs, rng, "layouts/classic.tml");
    // Take off every free pair until none is left, then shuffle.
    TMTile *a = nullptr;
    TMTile *b = nullptr;
    while (board.findPair(&a, &b, 0))
        board.removePair(a, b, VyTime(1));
    ASSERT_EQ(board.countAvailablePairs(), 0);
    ASSERT_GT(board.countFreeTiles(), 1);
    const auto before = presentKinds(board);
    std::vector<TMLayoutPosition> positions;
    for (const TMTile &t : board.tiles)
        positions.push_back({t.x, t.y, t.z});

    board.shuffleBoard(rng);

    EXPECT_EQ(presentKinds(board), before);
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        EXPECT_EQ(board.tiles[i].x, positions[i].x);
        EXPECT_EQ(board.tiles[i].z, positions[i].z);
    }
    EXPECT_GT(board.movesAvailable, 0);
    EXPECT_EQ(board.movesAvailable, board.countAvailablePairs());
}

TEST(Shuffle, EndsWithAGeneratorStuckAtZero)
{
    // A row of six: only the two ends are free. A generator that answers 0
    // for ever repeats one fixed pass, which here cycles through five
    // arrangements none of which puts a pair on the ends.
    TMBoard board;
    setUpBoard(board, {{0, 0, 0, 0, 0}, {2, 0, 0, 2, 2}, {4, 0, 0, 2, 2},
                       {6, 0, 0, 1, 1}, {8, 0, 0, 0, 0}, {10, 0, 0, 1, 1}});
    HMersenneTwisterRNG unseeded;
    board.shuffleBoard(unseeded);
    // One pass: tile 0 swaps with tile 1 (the next after the stuck draw),
    // then every other tile with tile 0.
    const int32_t expected[] = {1, 2, 0, 2, 1, 0};
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(board.tiles[i].kind, expected[i]) << "tile " << i;
    EXPECT_EQ(board.movesAvailable, 0);
}

TEST(Shuffle, LoneTileEndsEvenWithAGoodGenerator)
{
    // No other tile can ever be drawn for it.
    TMBoard board;
    setUpBoard(board, isolatedTiles({4}));
    HMersenneTwisterRNG rng;
    rng.seed(5);
    board.shuffleBoard(rng);
    EXPECT_EQ(board.tiles[0].kind, 4);
    EXPECT_EQ(board.movesAvailable, 0);
}

TEST(Deal, FillsEveryPositionOnceWithTheWholeTable)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(2024);
    TMBoard board;
    // State from an earlier game that the deal must clear.
    board.selected = &board.tiles[3];
    board.tiles[3].selected = 1;
    board.tiles[9].removedAt = VyTime(500);
    board.undoTop = 4;

    board.deal(&layouts.fs, rng, "layouts/pyramid.tml");

    EXPECT_EQ(board.tilesLeft, 144);
    EXPECT_EQ(board.selected, nullptr);
    EXPECT_EQ(board.undoTop, -1);
    EXPECT_EQ(board.movesAvailable, board.countAvailablePairs());
    const std::vector<TMLayoutPosition> layout = threeLayerLayout();
    std::multiset<std::pair<int32_t, int32_t>> dealt;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const TMTile &t = board.tiles[i];
        EXPECT_EQ(t.present, 1);
        EXPECT_EQ(t.selected, 0);
        EXPECT_EQ(t.removedAt.getTime64(), 0u);
        EXPECT_EQ(t.x, layout[i].x);
        EXPECT_EQ(t.y, layout[i].y);
        EXPECT_EQ(t.z, layout[i].z);
        dealt.insert({t.kind, t.image});
    }
    const auto table = tableOrder();
    const std::multiset<std::pair<int32_t, int32_t>> wanted(table.begin(), table.end());
    EXPECT_EQ(dealt, wanted);
}

TEST(Deal, DrawListHoldsEveryTileOnceInPaintingOrder)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(77);
    TMBoard board;
    board.deal(&layouts.fs, rng, "layouts/classic.tml");

    std::set<const TMTile *> seen;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        ASSERT_NE(board.drawList[i], nullptr);
        EXPECT_TRUE(seen.insert(board.drawList[i]).second) << "entry " << i;
        EXPECT_GE(indexOf(board, board.drawList[i]), 0);
        EXPECT_LT(indexOf(board, board.drawList[i]), TM_TILE_COUNT);
    }
    // In this layout the columns of a layer lie a whole tile apart, so
    // painting order is layer by layer, right column first, top row first.
    std::vector<const TMTile *> expected;
    for (const TMTile &t : board.tiles)
        expected.push_back(&t);
    std::sort(expected.begin(), expected.end(), [](const TMTile *a, const TMTile *b) {
        if (a->z != b->z)
            return a->z < b->z;
        if (a->x != b->x)
            return a->x > b->x;
        return a->y < b->y;
    });
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
        EXPECT_EQ(board.drawList[i], expected[i]) << "entry " << i;
    EXPECT_EQ(board.drawList[0], &board.tiles[11]);
    EXPECT_EQ(board.drawList[88], &board.tiles[0]);
    EXPECT_EQ(board.drawList[143], &board.tiles[141]);
}

TEST(Deal, GoldenDealsForKnownSeeds)
{
    struct Golden
    {
        uint32_t seed;
        int32_t kinds[12];
        int32_t images[12];
        int32_t hintFirst, hintSecond;
        int32_t pairs;
    };
    const Golden goldens[] = {
        {1,
         {4, 22, 19, 6, 7, 33, 13, 32, 0, 31, 20, 30},
         {4, 30, 27, 6, 7, 45, 17, 44, 0, 43, 28, 42},
         12, 132, 9},
        {5489,
         {22, 35, 25, 24, 4, 4, 25, 13, 11, 27, 16, 5},
         {30, 51, 33, 32, 4, 4, 33, 17, 15, 39, 20, 5},
         12, 141, 9},
        {20061123,
         {6, 26, 23, 12, 25, 26, 16, 0, 28, 20, 14, 31},
         {6, 34, 31, 16, 33, 34, 20, 0, 40, 28, 18, 43},
         12, 140, 7},
    };
    LayoutDir layouts;
    const auto table = tableOrder();
    for (const Golden &g : goldens) {
        HMersenneTwisterRNG rng;
        rng.seed(g.seed);
        TMBoard board;
        board.deal(&layouts.fs, rng, "layouts/classic.tml");
        for (int32_t i = 0; i < 12; ++i) {
            EXPECT_EQ(board.tiles[i].kind, g.kinds[i]) << "seed " << g.seed << " tile " << i;
            EXPECT_EQ(board.tiles[i].image, g.images[i]) << "seed " << g.seed << " tile " << i;
        }

        // The deal is the generator's stream read as slots: the k-th
        // distinct slot drawn receives the k-th tile of the table.
        HMersenneTwisterRNG replay;
        replay.seed(g.seed);
        std::vector<int32_t> order;
        std::set<int32_t> taken;
        while (order.size() < 144) {
            const int32_t slot = static_cast<int32_t>(replay.nextInt(143));
            if (taken.insert(slot).second)
                order.push_back(slot);
        }
        for (size_t k = 0; k < order.size(); ++k) {
            EXPECT_EQ(board.tiles[order[k]].kind, table[k].first) << "seed " << g.seed;
            EXPECT_EQ(board.tiles[order[k]].image, table[k].second) << "seed " << g.seed;
        }

        TMTile *first = nullptr;
        TMTile *second = nullptr;
        ASSERT_TRUE(board.findPair(&first, &second, 0));
        EXPECT_EQ(indexOf(board, first), g.hintFirst) << "seed " << g.seed;
        EXPECT_EQ(indexOf(board, second), g.hintSecond) << "seed " << g.seed;
        EXPECT_EQ(board.movesAvailable, g.pairs) << "seed " << g.seed;
        // The first hint is the first free tile in index order that has a
        // free partner, paired with the next such partner.
        EXPECT_EQ(first->kind, second->kind);
        EXPECT_TRUE(board.isFree(first));
        EXPECT_TRUE(board.isFree(second));
        for (int32_t i = 0; i < g.hintFirst; ++i) {
            if (!board.isFree(&board.tiles[i]))
                continue;
            for (int32_t j = 0; j < TM_TILE_COUNT; ++j)
                EXPECT_FALSE(j != i && board.isFree(&board.tiles[j]) &&
                             board.tiles[j].kind == board.tiles[i].kind)
                    << "seed " << g.seed << ": tile " << i << " had a partner";
        }
        for (int32_t j = g.hintFirst + 1; j < g.hintSecond; ++j)
            EXPECT_FALSE(board.isFree(&board.tiles[j]) && board.tiles[j].kind == first->kind);
    }
}

TEST(Deal, GoldenShuffleAfterARemoval)
{
    LayoutDir layouts;
    HMersenneTwisterRNG rng;
    rng.seed(1);
    TMBoard board;
    board.deal(&layouts.fs, rng, "layouts/classic.tml");
    const int32_t removedKind = board.tiles[12].kind;
    board.removePair(&board.tiles[12], &board.tiles[132], VyTime(3));
    board.shuffleBoard(rng);

    const int32_t kinds[12] = {4, 27, 7, 9, 22, 23, 6, 35, 8, 4, 11, 14};
    const int32_t images[12] = {4, 39, 7, 13, 30, 31, 6, 48, 8, 4, 15, 18};
    for (int32_t i = 0; i < 12; ++i) {
        EXPECT_EQ(board.tiles[i].kind, kinds[i]) << "tile " << i;
        EXPECT_EQ(board.tiles[i].image, images[i]) << "tile " << i;
    }
    EXPECT_EQ(board.tiles[12].present, 0);
    EXPECT_EQ(board.tiles[12].kind, removedKind) << "a removed tile keeps its kind";
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    ASSERT_TRUE(board.findPair(&first, &second, 0));
    EXPECT_EQ(indexOf(board, first), 13);
    EXPECT_EQ(indexOf(board, second), 126);
    EXPECT_EQ(board.movesAvailable, 9);
}

TEST(Deal, GeneratorStuckAtZeroDealsInTableOrder)
{
    // An unseeded generator answers 0 for ever: the first tile takes slot
    // 0, every later one the next free slot after it.
    LayoutDir layouts;
    HMersenneTwisterRNG unseeded;
    TMBoard board;
    board.deal(&layouts.fs, unseeded, "layouts/classic.tml");
    const auto table = tableOrder();
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        EXPECT_EQ(board.tiles[i].present, 1);
        EXPECT_EQ(board.tiles[i].kind, table[i].first) << "tile " << i;
        EXPECT_EQ(board.tiles[i].image, table[i].second) << "tile " << i;
    }
    EXPECT_EQ(board.tilesLeft, 144);
}

TEST(Deal, MissingLayoutFallsBackToClassicAndTraces)
{
    TempDir dir;
    std::vector<TMLayoutPosition> classic = threeLayerLayout();
    dir.write("layouts/classic.tml", layoutText(classic));
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    HFile *trace = fs.openFileForWrite("trace.txt");
    ASSERT_NE(trace, nullptr);
    setTraceFile(trace);

    HMersenneTwisterRNG rng;
    rng.seed(3);
    TMBoard board;
    board.deal(&fs, rng, "layouts/quin.tml");

    setTraceFile(nullptr);
    trace->close();
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        EXPECT_EQ(board.tiles[i].x, classic[i].x);
        EXPECT_EQ(board.tiles[i].y, classic[i].y);
        EXPECT_EQ(board.tiles[i].z, classic[i].z);
    }
    std::ifstream in(dir.path() + "/trace.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "TMBoard::deal - could not read layout 'layouts/quin.tml'\n");
}

TEST(Deal, NoLayoutAtAllDealsOntoZeroPositions)
{
    TempDir dir;
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    HMersenneTwisterRNG rng;
    rng.seed(3);
    for (HFileSystem *system : {static_cast<HFileSystem *>(&fs), static_cast<HFileSystem *>(nullptr)}) {
        TMBoard board;
        board.deal(system, rng, "layouts/classic.tml");
        EXPECT_EQ(board.tilesLeft, 144);
        for (const TMTile &t : board.tiles) {
            EXPECT_EQ(t.present, 1);
            EXPECT_EQ(t.x, 0);
            EXPECT_EQ(t.y, 0);
            EXPECT_EQ(t.z, 0);
        }
        EXPECT_EQ(presentKinds(board).size(), 144u);
    }
}
