// The layouts of the built archive, read and dealt by the game's own board
// model: their text form, their geometry on the screen, the painting order
// and how many random deals a player who could see every tile would clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "content/archive_fixture.h"
#include "content/layout_solver.h"
#include "engine/core/HRNG.h"
#include "engine/core/HZIPFileSystem.h"
#include "game/TMBoard.h"
#include "game/TMScreenLayout.h"

using namespace kit_test;

namespace {

// Sanitizer builds run the same deals, fewer of them.
#if defined(__SANITIZE_ADDRESS__)
const int kDeals = 60;
#else
const int kDeals = 300;
#endif
const int kGamesPerDeal = 2000;

// Parses a layout file strictly: exactly 144 lines "x,y,z\n" of decimal
// integers, nothing else.
bool s_parseStrict(const std::vector<uint8_t> &bytes, std::vector<TMLayoutPosition> &out, std::string &why)
{
    const std::string text(bytes.begin(), bytes.end());
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            why = "last line has no line feed";
            return false;
        }
        const std::string line = text.substr(at, end - at);
        TMLayoutPosition p;
        int consumed = 0;
        if (std::sscanf(line.c_str(), "%d,%d,%d%n", &p.x, &p.y, &p.z, &consumed) != 3 ||
            consumed != int(line.size()) || line.find_first_not_of("0123456789,-") != std::string::npos) {
            why = "bad line " + std::to_string(out.size() + 1) + ": '" + line + "'";
            return false;
        }
        char again[48];
        std::snprintf(again, sizeof again, "%d,%d,%d", p.x, p.y, p.z);
        if (line != again) {
            why = "line not in the form %d,%d,%d: '" + line + "'";
            return false;
        }
        out.push_back(p);
        at = end + 1;
    }
    if (out.size() != TM_TILE_COUNT) {
        why = std::to_string(out.size()) + " lines";
        return false;
    }
    return true;
}

int s_imageSize(const char *name, bool width, int fallback)
{
    Image image;
    if (!loadImage(name, image))
        return fallback;
    return width ? image.width : image.height;
}

// A board dealt on one of the archive's layouts.
std::unique_ptr<TMBoard> s_deal(const std::string &layout, uint32_t seed)
{
    auto board = std::make_unique<TMBoard>();
    HMersenneTwisterRNG rng;
    rng.seed(seed);
    board->deal(archive(), rng, layout.c_str());
    return board;
}

class KitLayouts : public ::testing::TestWithParam<int>
{
protected:
    std::string name() const { return expectedLayoutNames()[size_t(GetParam())]; }

    std::vector<TMLayoutPosition> positions()
    {
        std::vector<uint8_t> bytes;
        std::vector<TMLayoutPosition> p;
        std::string why;
        EXPECT_TRUE(readEntry(name(), bytes));
        EXPECT_TRUE(s_parseStrict(bytes, p, why)) << why;
        return p;
    }
};

} // namespace

TEST_P(KitLayouts, TextIsExactly144LinesTheReaderUnderstands)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry(name(), bytes));
    EXPECT_LE(bytes.size(), size_t(TM_MAX_LAYOUT_BYTES));
    std::vector<TMLayoutPosition> strict;
    std::string why;
    ASSERT_TRUE(s_parseStrict(bytes, strict, why)) << why;

    TMLayoutPosition read[TM_TILE_COUNT];
    ASSERT_TRUE(TMBoard::readLayout(archive(), name().c_str(), read, sizeof read));
    for (int i = 0; i < TM_TILE_COUNT; ++i) {
        EXPECT_TRUE(read[i].x == strict[i].x && read[i].y == strict[i].y && read[i].z == strict[i].z)
            << "line " << i + 1;
    }
}

TEST_P(KitLayouts, TilesStackSoundlyOnTheGrid)
{
    const std::vector<TMLayoutPosition> p = positions();
    ASSERT_EQ(p.size(), size_t(TM_TILE_COUNT));
    for (int i = 0; i < TM_TILE_COUNT; ++i) {
        const TMLayoutPosition &a = p[i];
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.z >= 0) << "line " << i + 1;
        if (a.z == 0) {
            EXPECT_TRUE(a.x <= 28 && a.y <= 14) << "line " << i + 1;
        }
        for (int j = i + 1; j < TM_TILE_COUNT; ++j) {
            const TMLayoutPosition &b = p[j];
            EXPECT_FALSE(a.z == b.z && std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1)
                << "lines " << i + 1 << " and " << j + 1 << " overlap";
        }
        // The free rule looks one layer up only, so a raised tile must rest
        // on the layer below in all four of its quarters.
        if (a.z == 0)
            continue;
        for (int cy = a.y; cy <= a.y + 1; ++cy) {
            for (int cx = a.x; cx <= a.x + 1; ++cx) {
                const bool held = std::any_of(p.begin(), p.end(), [&](const TMLayoutPosition &b) {
                    return b.z == a.z - 1 && b.x <= cx && cx <= b.x + 1 && b.y <= cy && cy <= b.y + 1;
                });
                EXPECT_TRUE(held) << "line " << i + 1 << " overhangs at half cell (" << cx << "," << cy << ")";
            }
        }
    }
}

TEST_P(KitLayouts, TilesFitTheBoardAreaWithTheirShadows)
{
    auto board = s_deal(name(), 7);
    board->setShadowSizes(s_imageSize("art/shadow_top.tga", false, 7), s_imageSize("art/shadow_right.tga", true, 6));
    for (int i = 0; i < TM_TILE_COUNT; ++i) {
        HRect r;
        board->getFullRect(&board->tiles[i], &r);
        // The board area, above the row of the HUD's labels.
        const tmscreen::Box &area = tmscreen::kBoardArea;
        EXPECT_TRUE(r.x0 >= area.x0 && r.x1 <= area.x1 && r.y0 >= area.y0 && r.y1 <= tmscreen::kTimeLabel.y)
            << "tile " << i << " at (" << board->tiles[i].x << "," << board->tiles[i].y << "," << board->tiles[i].z
            << ") covers (" << r.x0 << "," << r.y0 << ")-(" << r.x1 << "," << r.y1 << ")";
    }
}

TEST_P(KitLayouts, EnoughTilesAreFreeAtTheStart)
{
    auto board = s_deal(name(), 11);
    EXPECT_GE(board->countFreeTiles(), 8);
}

TEST_P(KitLayouts, PaintingOrderDrawsEveryOverlapTheRightWayRound)
{
    auto board = s_deal(name(), 3);
    int order[TM_TILE_COUNT];
    for (int k = 0; k < TM_TILE_COUNT; ++k) {
        ASSERT_NE(board->drawList[k], nullptr);
        order[board->drawList[k] - board->tiles] = k;
    }
    // Where two pictures overlap, the lower layer goes first; in one layer
    // the left tile's face covers its right neighbour's side strip, and a
    // lower row's face covers the bottom edge of the row above.
    for (int i = 0; i < TM_TILE_COUNT; ++i) {
        for (int j = 0; j < TM_TILE_COUNT; ++j) {
            const TMTile &a = board->tiles[i], &b = board->tiles[j];
            HRect ra, rb;
            board->getImageRect(&a, &ra);
            board->getImageRect(&b, &rb);
            const bool overlap = ra.x0 < rb.x1 && rb.x0 < ra.x1 && ra.y0 < rb.y1 && rb.y0 < ra.y1;
            if (i == j || !overlap)
                continue;
            bool aFirst;
            if (a.z != b.z)
                aFirst = a.z < b.z;
            else if (std::abs(a.x - b.x) >= 2)
                aFirst = a.x > b.x;
            else
                aFirst = a.y < b.y;
            if (aFirst) {
                EXPECT_LT(order[i], order[j]) << "(" << a.x << "," << a.y << "," << a.z << ") must be painted before ("
                                              << b.x << "," << b.y << "," << b.z << ")";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, KitLayouts, ::testing::Range(0, int(TM_LAYOUT_COUNT)),
                         [](const ::testing::TestParamInfo<int> &info) {
                             std::string n = expectedLayoutNames()[size_t(info.param)];
                             n = n.substr(8, n.size() - 12);  // "layouts/" ... ".tml"
                             return n;
                         });

TEST(KitLayoutSet, LayoutsAreAllDifferent)
{
    std::set<std::vector<std::tuple<int, int, int>>> shapes;
    for (const std::string &name : expectedLayoutNames()) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readEntry(name, bytes)) << name;
        std::vector<TMLayoutPosition> p;
        std::string why;
        ASSERT_TRUE(s_parseStrict(bytes, p, why)) << name << ": " << why;
        std::vector<std::tuple<int, int, int>> shape;
        for (const TMLayoutPosition &t : p)
            shape.emplace_back(t.x, t.y, t.z);
        std::sort(shape.begin(), shape.end());
        EXPECT_TRUE(shapes.insert(shape).second) << name << " repeats another layout";
    }
}

TEST(KitLayoutSet, ClassicIsTheTraditionalTurtle)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry("layouts/classic.tml", bytes));
    std::vector<TMLayoutPosition> p;
    std::string why;
    ASSERT_TRUE(s_parseStrict(bytes, p, why)) << why;
    int perLayer[6] = {};
    for (const TMLayoutPosition &t : p) {
        ASSERT_TRUE(t.z >= 0 && t.z < 6);
        ++perLayer[t.z];
    }
    EXPECT_EQ(perLayer[0], 87);
    EXPECT_EQ(perLayer[1], 36);
    EXPECT_EQ(perLayer[2], 16);
    EXPECT_EQ(perLayer[3], 4);
    EXPECT_EQ(perLayer[4], 1);
}

// Random deals made with the game's own deal, solved by a player who knows
// every tile: at least nine in ten of them must come out.
TEST(KitLayoutSet, NineInTenRandomDealsCanBeCleared)
{
    ASSERT_NE(archive(), nullptr);
    // Deals are made one after another (the archive's file pool is not
    // shared between threads); solving runs a layout per thread.
    struct Outcome
    {
        int solved = 0;
        bool replayed = true;
    };
    std::vector<std::vector<std::unique_ptr<TMBoard>>> boards(TM_LAYOUT_COUNT);
    for (int l = 0; l < TM_LAYOUT_COUNT; ++l)
        for (int d = 0; d < kDeals; ++d)
            boards[size_t(l)].push_back(s_deal(expectedLayoutNames()[size_t(l)], 1000u + uint32_t(d)));

    std::vector<std::future<Outcome>> work;
    for (int l = 0; l < TM_LAYOUT_COUNT; ++l) {
        work.push_back(std::async(std::launch::async, [&boards, l] {
            Outcome o;
            for (const auto &board : boards[size_t(l)]) {
                const SolveResult r = solveBoard(*board, kGamesPerDeal);
                if (!r.solved)
                    continue;
                ++o.solved;
                // Every move the solver made is legal on the game's board.
                o.replayed = o.replayed && replayOnBoard(*board, r.moves);
            }
            return o;
        }));
    }
    for (int l = 0; l < TM_LAYOUT_COUNT; ++l) {
        const Outcome o = work[size_t(l)].get();
        const double rate = 100.0 * o.solved / kDeals;
        std::printf("[ layouts ] %-22s %3d of %d deals cleared (%.1f%%)\n", expectedLayoutNames()[size_t(l)].c_str(),
                    o.solved, kDeals, rate);
        EXPECT_TRUE(o.replayed) << expectedLayoutNames()[size_t(l)];
        EXPECT_GE(rate, 90.0) << expectedLayoutNames()[size_t(l)];
    }
}
