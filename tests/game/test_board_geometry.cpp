// Screen rectangles of a tile, hit testing and the painting order.
#include <gtest/gtest.h>

#include "board_support.h"

TEST(TileGeometry, RectanglesTable)
{
    struct Case
    {
        int32_t x, y, z;
        HRect image;
    };
    const Case cases[] = {
        {0, 0, 0, {131, 30, 170, 85}},
        {3, 2, 1, {186, 71, 225, 126}},   // 99 / 2 = 49; one layer: 6 right, 7 up
        {-1, 0, 0, {115, 30, 154, 85}},   // -33 / 2 truncates to -16
        {-3, -1, 2, {94, -8, 133, 47}},
        {22, 14, 0, {494, 366, 533, 421}},
    };
    TMBoard board;
    board.setShadowSizes(8, 7);
    for (const Case &c : cases) {
        TMTile tile;
        tile.x = c.x;
        tile.y = c.y;
        tile.z = c.z;
        HRect r;
        board.getImageRect(&tile, &r);
        EXPECT_EQ(r.x0, c.image.x0) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(r.y0, c.image.y0) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(r.x1, c.image.x1);
        EXPECT_EQ(r.y1, c.image.y1);

        board.getFaceRect(&tile, &r);
        EXPECT_EQ(r.x0, c.image.x0 + 6);
        EXPECT_EQ(r.y0, c.image.y0);
        EXPECT_EQ(r.x1, c.image.x0 + 39);
        EXPECT_EQ(r.y1, c.image.y0 + 48);

        board.getFullRect(&tile, &r);
        EXPECT_EQ(r.x0, c.image.x0);
        EXPECT_EQ(r.y0, c.image.y0 - 8) << "raised by the top shadow";
        EXPECT_EQ(r.x1, c.image.x1 + 7) << "widened by the right shadow";
        EXPECT_EQ(r.y1, c.image.y1);
    }
}

namespace {

struct HitCase
{
    const char *what;
    int32_t px, py;
    int32_t expected;  // tile index, -1 for none
};

void runHitCases(TMBoard &board, const std::vector<HitCase> &cases, const char *fixture)
{
    for (const HitCase &c : cases)
        EXPECT_EQ(indexOf(board, board.hitTest(c.px, c.py, true)), c.expected)
            << fixture << ": " << c.what << " at (" << c.px << ", " << c.py << ")";
}

} // namespace

// A at (0,0,0): image 131..170 x 30..85, face 137..170 x 30..78.
// B at (2,0,0): image 164..203, face 170..203. C at (0,2,0): image 78..133 high.
TEST(HitTest, SameLayerStripsAndEdgesGoToTheFaceUnderThePoint)
{
    const std::vector<HitCase> cases = {
        {"A's face", 150, 50, 0},
        {"A's side strip, nothing under it", 132, 50, 0},
        {"image corner, edges included", 131, 30, 0},
        {"B's side strip under A's face", 166, 50, 0},
        {"last column of A's face", 169, 50, 0},
        {"A's right edge is B's face", 170, 50, 1},
        {"A's bottom edge over C's face", 150, 80, 2},
        {"A's last face row moved in by one pixel is C's", 150, 78, 2},
        {"A's face just above", 150, 77, 0},
        {"outside every tile", 100, 50, -1},
    };
    const TileDef a = {0, 0, 0, 1, 1}, b = {2, 0, 0, 2, 2}, c = {0, 2, 0, 3, 3};
    TMBoard board;
    setUpBoard(board, {a, b, c});
    runHitCases(board, cases, "A B C");

    // The same board listed in another order gives the same answers.
    setUpBoard(board, {c, b, a});
    std::vector<HitCase> reordered = cases;
    for (HitCase &h : reordered)
        if (h.expected >= 0)
            h.expected = 2 - h.expected;
    runHitCases(board, reordered, "C B A");
}

// U at (1,0,1) lies on A (0,0,0) and B (2,0,0): image 153..192 x 23..78,
// face 159..192 x 23..71.
TEST(HitTest, HigherTileWinsUnlessMetFirstWithThePointOffItsFace)
{
    const TileDef a = {0, 0, 0, 1, 1}, b = {2, 0, 0, 2, 2}, u = {1, 0, 1, 3, 3};
    TMBoard board;

    // Met after the lower tiles, the higher tile wins wherever its image is.
    setUpBoard(board, {a, b, u});
    runHitCases(board,
                {{"U's face", 175, 50, 2},
                 {"U's side strip over A's face", 155, 50, 2},
                 {"U's bottom edge over A's face", 160, 74, 2},
                 {"A beside U", 140, 50, 0}},
                "A B U");

    // Met first, its strip and bottom edge go to the lower face under them.
    setUpBoard(board, {u, a, b});
    runHitCases(board,
                {{"U's face", 175, 50, 0},
                 {"U's side strip over A's face", 155, 50, 1},
                 {"U's bottom edge over A's face", 160, 74, 1},
                 {"U's face over B", 185, 40, 0}},
                "U A B");
}

TEST(HitTest, RemovedTilesAreSkippedOnlyWhenAsked)
{
    TMBoard board;
    setUpBoard(board, {{0, 0, 0, 1, 1}, {2, 0, 0, 2, 2}, {1, 0, 1, 3, 3}});
    board.tiles[2].present = 0;
    EXPECT_EQ(board.hitTest(175, 50, true), &board.tiles[1]);
    EXPECT_EQ(board.hitTest(175, 50, false), &board.tiles[2]);
    const TMBoard &constBoard = board;
    EXPECT_EQ(constBoard.hitTest(150, 50, true), &board.tiles[0]);
}

TEST(DrawOrder, BubbleSortTable)
{
    struct Case
    {
        const char *what;
        std::vector<TileDef> tiles;
        std::vector<int32_t> start;     // draw-list order, by tile index
        std::vector<int32_t> expected;
    };
    const TileDef a = {0, 0, 0, 0, 0}, b = {1, 2, 0, 0, 0}, c = {2, 4, 0, 0, 0};
    const std::vector<Case> cases = {
        {"lower layer first", {{0, 0, 1, 0, 0}, {0, 0, 0, 0, 0}}, {0, 1}, {1, 0}},
        {"a higher tile after stays", {{0, 0, 0, 0, 0}, {0, 0, 1, 0, 0}}, {0, 1}, {0, 1}},
        {"right column first", {{0, 0, 0, 0, 0}, {4, 0, 0, 0, 0}}, {0, 1}, {1, 0}},
        {"columns one half-tile apart: upper row first", {{1, 2, 0, 0, 0}, {0, 0, 0, 0, 0}}, {0, 1}, {1, 0}},
        {"same column: upper row first", {{2, 4, 0, 0, 0}, {2, 0, 0, 0, 0}}, {0, 1}, {1, 0}},
        {"equal rows keep their order", {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}}, {1, 0}, {1, 0}},
        {"layers, then columns",
         {{0, 0, 1, 0, 0}, {4, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
         {0, 3, 2, 1},
         {1, 2, 3, 0}},
        // A goes before B, B before C, C before A: where the sort stops
        // depends on where it starts.
        {"cycle from A C B", {a, b, c}, {0, 2, 1}, {2, 0, 1}},
        {"cycle from B A C", {a, b, c}, {1, 0, 2}, {0, 1, 2}},
        {"cycle from C B A", {a, b, c}, {2, 1, 0}, {1, 2, 0}},
    };
    for (const Case &k : cases) {
        TMBoard board;
        setUpBoard(board, k.tiles);
        for (size_t i = 0; i < k.start.size(); ++i)
            board.drawList[i] = &board.tiles[k.start[i]];
        board.sortDrawList();
        std::vector<int32_t> got;
        for (size_t i = 0; i < k.start.size(); ++i)
            got.push_back(indexOf(board, board.drawList[i]));
        EXPECT_EQ(got, k.expected) << k.what;
    }
}
