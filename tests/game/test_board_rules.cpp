// The free-tile rule, visibility, pair counting and the pair searches.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "board_support.h"

TEST(TileKindTable, HoldsAllTilesAndMapsKindsToPictures)
{
    std::map<int32_t, int32_t> perKind;
    std::set<int32_t> images;
    int32_t total = 0;
    for (const TMTileKind &row : g_tileKindTable) {
        perKind[row.kind] += row.count;
        total += row.count;
        EXPECT_TRUE(images.insert(row.image).second) << "picture used twice: " << row.image;
        EXPECT_LT(row.image, 52) << "the tile sheet holds 13 x 4 pictures";
    }
    EXPECT_EQ(total, TM_TILE_COUNT);
    EXPECT_EQ(perKind.size(), 36u);
    for (const auto &entry : perKind)
        EXPECT_EQ(entry.second, 4) << "kind " << entry.first;

    // Spot checks of each band of pictures.
    EXPECT_EQ(g_tileKindTable[8].image, 8);
    EXPECT_EQ(g_tileKindTable[9].image, 13);
    EXPECT_EQ(g_tileKindTable[18].image, 26);
    EXPECT_EQ(g_tileKindTable[33].image, 45);
    EXPECT_EQ(g_tileKindTable[34].kind, 34);
    EXPECT_EQ(g_tileKindTable[37].image, 38);
    EXPECT_EQ(g_tileKindTable[38].kind, 35);
    EXPECT_EQ(g_tileKindTable[41].image, 51);
}

TEST(LayoutNames, NumberedInGameOrder)
{
    EXPECT_STREQ(getLayoutFileName(0), "layouts/classic.tml");
    EXPECT_STREQ(getLayoutFileName(6), "layouts/vemo.tml");
    EXPECT_STREQ(getLayoutFileName(7), "layouts/velmora0.tml");
    EXPECT_STREQ(getLayoutFileName(17), "layouts/velmora10.tml");
    EXPECT_EQ(getLayoutFileName(18), nullptr);
    EXPECT_EQ(getLayoutFileName(-1), nullptr);
}

TEST(TileAndBoard, ConstructedEmpty)
{
    TMTile tile;
    EXPECT_EQ(tile.present, 0);
    EXPECT_EQ(tile.selected, 0);
    EXPECT_EQ(tile.kind, -1);
    EXPECT_EQ(tile.removedAt.getTime64(), 0u);

    TMBoard board;
    EXPECT_EQ(board.undoTop, -1);
    EXPECT_EQ(board.hovered, nullptr);
    EXPECT_EQ(board.selected, nullptr);
    for (const TMUndoEntry &e : board.undoStack) {
        EXPECT_EQ(e.first, nullptr);
        EXPECT_EQ(e.second, nullptr);
    }
    EXPECT_EQ(board.countAvailablePairs(), 0);
    EXPECT_EQ(board.countFreeTiles(), 0);
}

// The tile under test is tile 0 at (4, 4, 0); the others surround it.
struct FreeCase
{
    const char *what;
    std::vector<TileDef> others;
    std::vector<int32_t> removed;  // indices (1-based among others) not present
    bool expectFree;
};

TEST(FreeRule, Table)
{
    const std::vector<FreeCase> cases = {
        {"no neighbours", {}, {}, true},
        {"one quarter covered at (x+1, y-1, z+1)", {{5, 3, 1, 9, 9}}, {}, false},
        {"one quarter covered at (x-1, y+1, z+1)", {{3, 5, 1, 9, 9}}, {}, false},
        {"directly on it", {{4, 4, 1, 9, 9}}, {}, false},
        {"next layer but a full tile aside", {{6, 4, 1, 9, 9}}, {}, true},
        {"two layers up is not looked at", {{4, 4, 2, 9, 9}}, {}, true},
        {"neighbours on both sides, offset rows", {{2, 5, 0, 9, 9}, {6, 3, 0, 9, 9}}, {}, false},
        {"neighbours on both sides, same row", {{2, 4, 0, 9, 9}, {6, 4, 0, 9, 9}}, {}, false},
        {"left side only", {{2, 4, 0, 9, 9}}, {}, true},
        {"right side only", {{6, 3, 0, 9, 9}}, {}, true},
        {"left neighbour two rows off does not close the side",
         {{2, 6, 0, 9, 9}, {6, 4, 0, 9, 9}}, {}, true},
        {"a tile three half-tiles away is no neighbour", {{1, 4, 0, 9, 9}, {6, 4, 0, 9, 9}}, {}, true},
        {"the only blocker is removed", {{5, 3, 1, 9, 9}}, {1}, true},
        {"one side's neighbour removed", {{2, 4, 0, 9, 9}, {6, 4, 0, 9, 9}}, {2}, true},
    };
    for (const FreeCase &c : cases) {
        std::vector<TileDef> defs = {{4, 4, 0, 1, 1}};
        defs.insert(defs.end(), c.others.begin(), c.others.end());
        TMBoard board;
        setUpBoard(board, defs);
        for (int32_t r : c.removed)
            board.tiles[r].present = 0;
        EXPECT_EQ(board.isFree(&board.tiles[0]), c.expectFree) << c.what;
    }
}

TEST(FreeRule, IgnoresTheTilesOwnPresentFlag)
{
    TMBoard board;
    setUpBoard(board, {{4, 4, 0, 1, 1}, {4, 4, 1, 2, 2}});
    board.tiles[0].present = 0;
    EXPECT_FALSE(board.isFree(&board.tiles[0]));
    board.tiles[1].present = 0;
    EXPECT_TRUE(board.isFree(&board.tiles[0]));
    EXPECT_EQ(board.countFreeTiles(), 0) << "counting only looks at present tiles";
}

struct VisibleCase
{
    const char *what;
    std::vector<TileDef> above;
    bool expectVisible;
};

TEST(Visibility, QuarterMaskTable)
{
    const std::vector<VisibleCase> cases = {
        {"nothing above", {}, true},
        {"directly above", {{4, 4, 1, 9, 9}}, false},
        {"four corner tiles cover 1+2+4+8",
         {{3, 3, 1, 9, 9}, {5, 3, 1, 9, 9}, {5, 5, 1, 9, 9}, {3, 5, 1, 9, 9}}, false},
        {"three corner tiles leave a quarter", {{3, 3, 1, 9, 9}, {5, 3, 1, 9, 9}, {5, 5, 1, 9, 9}}, true},
        {"above and below half a tile off cover 3+12", {{4, 3, 1, 9, 9}, {4, 5, 1, 9, 9}}, false},
        {"left and right half a tile off cover 9+6", {{3, 4, 1, 9, 9}, {5, 4, 1, 9, 9}}, false},
        {"top half and bottom-left quarter leave bottom right", {{4, 3, 1, 9, 9}, {3, 5, 1, 9, 9}}, true},
        {"a tile two layers up does not cover", {{4, 4, 2, 9, 9}}, true},
    };
    for (const VisibleCase &c : cases) {
        std::vector<TileDef> defs = {{4, 4, 0, 1, 1}};
        defs.insert(defs.end(), c.above.begin(), c.above.end());
        TMBoard board;
        setUpBoard(board, defs);
        EXPECT_EQ(board.isVisible(&board.tiles[0]), c.expectVisible) << c.what;
    }
}

TEST(Visibility, RemovedTilesDoNotCover)
{
    TMBoard board;
    setUpBoard(board, {{4, 4, 0, 1, 1}, {3, 4, 1, 9, 9}, {5, 4, 1, 9, 9}});
    EXPECT_FALSE(board.isVisible(&board.tiles[0]));
    board.tiles[2].present = 0;
    EXPECT_TRUE(board.isVisible(&board.tiles[0]));
}

struct PairCase
{
    const char *what;
    std::vector<TileDef> defs;
    int32_t expectPairs;
};

TEST(AvailablePairs, Table)
{
    const std::vector<PairCase> cases = {
        {"one free tile", isolatedTiles({5}), 0},
        {"two of a kind", isolatedTiles({5, 5}), 1},
        {"three of a kind count once", isolatedTiles({5, 5, 5}), 1},
        {"four of a kind count twice", isolatedTiles({5, 5, 5, 5}), 2},
        {"kind 34 matches across its pictures", {{0, 0, 0, 34, 35}, {10, 0, 0, 34, 38}}, 1},
        {"kinds 33 and 34 do not match", {{0, 0, 0, 33, 45}, {10, 0, 0, 34, 35}}, 0},
        {"kind 35 pictures", {{0, 0, 0, 35, 48}, {10, 0, 0, 35, 51}, {20, 0, 0, 35, 49}}, 1},
        {"several kinds add up", isolatedTiles({1, 2, 1, 2, 3, 3, 3, 34, 34}), 4},
        {"a covered tile does not count",
         {{0, 0, 0, 5, 5}, {10, 0, 0, 5, 5}, {10, 0, 1, 7, 7}}, 0},
        {"a tile closed on both sides does not count",
         {{0, 0, 0, 6, 6}, {2, 0, 0, 5, 5}, {4, 0, 0, 7, 7}, {20, 0, 0, 5, 5}}, 0},
    };
    for (const PairCase &c : cases) {
        TMBoard board;
        setUpBoard(board, c.defs);
        EXPECT_EQ(board.countAvailablePairs(), c.expectPairs) << c.what;
    }
}

TEST(SameKind, OtherPresentTilesInIndexOrder)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({3, 4, 3, 3, 4, 3}));
    TMTile *out[3] = {&board.tiles[9], &board.tiles[9], &board.tiles[9]};
    EXPECT_EQ(board.findSameKind(&board.tiles[2], out), 3);
    EXPECT_EQ(out[0], &board.tiles[0]);
    EXPECT_EQ(out[1], &board.tiles[3]);
    EXPECT_EQ(out[2], &board.tiles[5]);

    board.tiles[3].present = 0;
    out[2] = &board.tiles[9];
    EXPECT_EQ(board.findSameKind(&board.tiles[2], out), 2);
    EXPECT_EQ(out[1], &board.tiles[5]);
    EXPECT_EQ(out[2], nullptr) << "unused entries are cleared";

    EXPECT_EQ(board.findSameKind(&board.tiles[1], out), 1);
    EXPECT_EQ(out[0], &board.tiles[4]);
    EXPECT_EQ(out[1], nullptr);
}

TEST(Partner, SearchesRoundTheBoardFromStart)
{
    TMBoard board;
    // Tiles 0, 2 and 4 are of kind 3; tile 5 of kind 3 is covered by tile 6.
    setUpBoard(board, {{0, 0, 0, 3, 3}, {10, 0, 0, 4, 4}, {20, 0, 0, 3, 3}, {30, 0, 0, 4, 4},
                       {40, 0, 0, 3, 3}, {50, 0, 0, 3, 3}, {50, 0, 1, 8, 8}});
    int32_t index = 99;
    EXPECT_EQ(board.findPartner(&board.tiles[0], 0, &index), &board.tiles[2]);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(board.findPartner(&board.tiles[0], 3, &index), &board.tiles[4]);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(board.findPartner(&board.tiles[4], 5, &index), &board.tiles[0])
        << "wraps past the covered tile 5 to the start";
    EXPECT_EQ(index, 0);

    board.tiles[3].present = 0;
    EXPECT_EQ(board.findPartner(&board.tiles[1], 0, &index), nullptr);
    EXPECT_EQ(index, -1);
}

TEST(FindPair, NoPairLeavesOutputsUntouched)
{
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 2, 3}));
    TMTile *first = &board.tiles[7];
    TMTile *second = &board.tiles[8];
    EXPECT_FALSE(board.findPair(&first, &second, 0));
    EXPECT_EQ(first, &board.tiles[7]);
    EXPECT_EQ(second, &board.tiles[8]);
}

TEST(FindPair, NthPairTable)
{
    // Kinds A B A B C C C: three pairs (one per kind). Candidates in order
    // are (0,2), (1,3), (4,5), (5,6); (2,0), (3,1) and (6,4) were met from
    // the other side.
    TMBoard board;
    setUpBoard(board, isolatedTiles({1, 2, 1, 2, 3, 3, 3}));
    ASSERT_EQ(board.countAvailablePairs(), 3);

    struct Case
    {
        int32_t n, first, second;
    };
    const Case cases[] = {
        {0, 0, 2}, {1, 4, 5}, {2, 1, 3}, {3, 0, 2}, {4, 4, 5}, {5, 1, 3}, {301, 4, 5},
    };
    for (const Case &c : cases) {
        TMTile *first = nullptr;
        TMTile *second = nullptr;
        ASSERT_TRUE(board.findPair(&first, &second, c.n)) << "n = " << c.n;
        EXPECT_EQ(indexOf(board, first), c.first) << "n = " << c.n;
        EXPECT_EQ(indexOf(board, second), c.second) << "n = " << c.n;
    }
    EXPECT_TRUE(board.findPair(nullptr, nullptr, 1)) << "either output may be null";
}

TEST(FindPair, SkipsTilesThatAreNotFree)
{
    // Tile 0 and 1 match but tile 0 is covered; the only pair is (1, 3).
    TMBoard board;
    setUpBoard(board, {{0, 0, 0, 5, 5}, {10, 0, 0, 5, 5}, {0, 0, 1, 6, 6}, {20, 0, 0, 5, 5}});
    TMTile *first = nullptr;
    TMTile *second = nullptr;
    ASSERT_TRUE(board.findPair(&first, &second, 0));
    EXPECT_EQ(indexOf(board, first), 1);
    EXPECT_EQ(indexOf(board, second), 3);
}

TEST(TileAt, FirstMatchInIndexOrderSkippingAbsentTiles)
{
    TMBoard board;
    setUpBoard(board, {{2, 4, 1, 1, 1}, {2, 4, 1, 2, 2}, {6, 4, 0, 3, 3}});
    EXPECT_EQ(board.tileAt(2, 4, 1, true), &board.tiles[0]);
    board.tiles[0].present = 0;
    EXPECT_EQ(board.tileAt(2, 4, 1, true), &board.tiles[1]);
    EXPECT_EQ(board.tileAt(2, 4, 1, false), &board.tiles[0]);
    EXPECT_EQ(board.tileAt(2, 4, 0, true), nullptr);
    const TMBoard &constBoard = board;
    EXPECT_EQ(constBoard.tileAt(6, 4, 0, true), &board.tiles[2]);
}
