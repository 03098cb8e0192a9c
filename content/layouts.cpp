// The 18 layouts of the game. Each is drawn as blocks of rows in whole-tile
// cells ('#' a tile, anything else empty); a block sits on one layer, moved
// by a half-tile offset, so a tile in column c and row r of a block stands at
// x = 2c + dx, y = 2r + dy. Layer 0 has room for 15 columns and 8 rows;
// raised tiles move right as they rise, so they keep to x <= 27.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "content/ContentKit.h"
#include "content/art_tiles.h"
#include "game/TMBoard.h"
#include "game/TMScreenLayout.h"

namespace content {
namespace {

// Where a tile with its shadows may lie: the board area above the row of
// the head-up display's labels.
const HRect kTileRoom(tmscreen::kBoardArea.x0, tmscreen::kBoardArea.y0, tmscreen::kBoardArea.x1,
                      tmscreen::kTimeLabel.y);

struct Block
{
    int z, dx, dy;
    std::vector<const char *> rows;
};

// A layout's design; the designs follow the order of the game's layout files.
struct LayoutDesign
{
    const char *title;
    std::vector<Block> blocks;
};

const std::vector<LayoutDesign> &s_designs()
{
    static const std::vector<LayoutDesign> designs = {
        // The traditional turtle: layers of 87, 36, 16, 4 and 1 tiles, with
        // the head and tail tiles half a row down between rows 3 and 4.
        {"Turtle",
         {{0, 0, 0,
           {".############..",
            "...########....",
            "..##########...",
            ".############..",
            ".############..",
            "..##########...",
            "...########....",
            ".############.."}},
          {0, 0, 1, {"", "", "", "#............##"}},
          {1, 0, 0, {"", "....######", "....######", "....######", "....######", "....######", "....######"}},
          {2, 0, 0, {"", "", ".....####", ".....####", ".....####", ".....####"}},
          {3, 0, 0, {"", "", "", "......##", "......##"}},
          {4, 1, 1, {"", "", "", "......#"}}}},

        // An oval arena: stands rising in tiers round the floor, gates at
        // both ends and a stage in the middle.
        {"Coliseum",
         {{0, 1, 0,
           {"..####..####..",
            ".#####..#####.",
            "####......####",
            "###..####..###",
            "###..####..###",
            "####......####",
            ".#####..#####.",
            "..####..####.."}},
          {1, 1, 0,
           {"..####..####..",
            ".###......###.",
            "##..........##",
            "##..........##",
            "##..........##",
            "##..........##",
            ".###......###.",
            "..####..####.."}},
          {2, 1, 0,
           {"...###..###...",
            ".##........##.",
            "#............#",
            "#............#",
            "#............#",
            "#............#",
            ".##........##.",
            "...###..###..."}}}},

        // A pyramid seen from the side, rising in stepped courses, with a
        // stairway up the middle and an obelisk on either side.
        {"Pyramid",
         {{0, 1, 0,
           {"......##......",
            ".....####.....",
            "....######....",
            "...###..###...",
            "..####..####..",
            ".#####..#####.",
            "######..######",
            "##############"}},
          {1, 1, 0,
           {"",
            "......##......",
            ".....####.....",
            "....##..##....",
            "...###..###...",
            "..####..####..",
            ".#####..#####.",
            ".#####..#####."}},
          {2, 1, 0, {"", "", "", "", "....##..##....", "...###..###...", "..####..####..", "..####..####.."}},
          {0, 1, 0, {"#............#", "#............#", "#............#"}},
          {1, 1, 0, {"#............#", "#............#", "#............#"}}}},

        // Five islands: four corner mounds around a taller central one.
        {"Five Isles",
         {{0, 0, 0,
           {"####.......####",
            "####.#####.####",
            "####.#####.####",
            ".....#####.....",
            ".....#####.....",
            "####.#####.####",
            "####.#####.####",
            "####.......####"}},
          {1, 0, 0,
           {".##.........##.",
            ".##.........##.",
            ".##..#####..##.",
            ".....#####.....",
            ".....#####.....",
            ".##..#####..##.",
            ".##.........##.",
            ".##.........##."}},
          {2, 0, 0,
           {"",
            ".##.........##.",
            "......###......",
            "......###......",
            "......###......",
            "......###......",
            ".##.........##.",
            ""}},
          {3, 0, 0, {"", "", "", ".......#.......", ".......#......."}}}},

        // A temple front: pediment, a colonnade and broad steps.
        {"Temple",
         {{0, 0, 0,
           {".....#####.....",
            "...#########...",
            ".#############.",
            ".#.#.#.#.#.#.#.",
            ".#.#.#.#.#.#.#.",
            ".#.#.#.#.#.#.#.",
            "#######.#######",
            "#######.#######"}},
          {1, 0, 0,
           {"......###......",
            "....#######....",
            "..###########..",
            ".#.#.#.#.#.#.#.",
            ".#.#.#.#.#.#.#.",
            ".#.#.#.#.#.#.#.",
            ".######.######.",
            ""}},
          {2, 0, 0, {".......#.......", "......###......", "....#######...."}},
          {3, 0, 0, {"", "......###......"}}}},

        // Two bands spiralling round the eye of the storm.
        {"Hurricane",
         {{0, 1, 0,
           {"....###.####..",
            "..##........#.",
            ".#....####...#",
            "#....#....#..#",
            "#..#....#....#",
            "#...####....#.",
            ".#........##..",
            "..####.###...."}},
          {1, 1, 0,
           {"....###.####..",
            "..##........#.",
            ".#....####...#",
            "#....#....#..#",
            "#..#....#....#",
            "#...####....#.",
            ".#........##..",
            "..####.###...."}},
          {2, 1, 0,
           {"....###.####..",
            "..##........#.",
            ".#....####...#",
            "#....#....#..#",
            "#..#....#....#",
            "#...####....#.",
            ".#........##..",
            "..####.###...."}},
          {3, 1, 0, {"....###.####..", "..#", "......####", "", "", "....####", "...........#", "..####.###...."}}}},

        // A butterfly with spotted wings.
        {"Butterfly",
         {{0, 0, 0,
           {".####.....####.",
            "######...######",
            "######.#.######",
            ".#####.#.#####.",
            "..####.#.####..",
            ".#####.#.#####.",
            "######...######",
            ".###.......###."}},
          {1, 0, 0,
           {"",
            ".####.....####.",
            ".####.....####.",
            "..###..#..###..",
            "...##..#..##...",
            "..###..#..###..",
            ".####.....####.",
            ""}},
          {2, 0, 0,
           {"",
            "..##.......##..",
            "..##.......##..",
            ".......#.......",
            ".......#.......",
            "...##..#..##...",
            "..##.......##..",
            ""}}}},

        // A fortress: walls, four corner towers and a central keep.
        {"Fortress",
         {{0, 1, 0,
           {"###.##..##.###",
            "###........###",
            "##..........##",
            "##....##....##",
            "##....##....##",
            "##..........##",
            "###........###",
            "###.##..##.###"}},
          {1, 1, 0,
           {"###.##..##.###",
            "###........###",
            "",
            "......##......",
            "......##......",
            "",
            "###........###",
            "###.##..##.###"}},
          {2, 1, 0,
           {"###........###",
            "###........###",
            "",
            "......##......",
            "......##......",
            "",
            "###........###",
            "###........###"}},
          {3, 1, 0,
           {"###........###",
            "###........###",
            "",
            "......##......",
            "......##......",
            "",
            "###........###",
            "###........###"}}}},

        // Two stepped peaks side by side.
        {"Twin Peaks",
         {{0, 0, 1, {"######...######", "######...######", "######...######", "######...######", "######...######", "######...######", "######...######"}},
          {1, 0, 1, {"", ".####.....####.", ".####.....####.", ".####.....####.", ".####.....####.", ".####.....####."}},
          {2, 0, 1, {"", "", "..##.......##..", "..##.......##..", "..##.......##.."}},
          {3, 0, 2, {"", "", "..##.......##..", "..##.......##.."}}}},

        // A lotus: petals opening round a raised heart.
        {"Lotus",
         {{0, 1, 0,
           {".....####.....",
            "..##..##..##..",
            ".###.####.###.",
            "####.####.####",
            "####.####.####",
            ".###.####.###.",
            "..##..##..##..",
            ".....####....."}},
          {1, 1, 0,
           {"......##......",
            "..##..##..##..",
            "..##.####.##..",
            ".##..####..##.",
            ".##..####..##.",
            "..##.####.##..",
            "..##..##..##..",
            "......##......"}},
          {2, 1, 0, {"", "", ".....####.....", ".##..####..##.", ".##..####..##.", ".....####....."}},
          {3, 1, 0, {"", "", "......##......", "......##......", "......##......", "......##......"}}}},

        // A snowflake of six arms.
        {"Snowflake",
         {{0, 0, 0,
           {"#.....#.#.....#",
            ".##...#.#...##.",
            "...##.###.##...",
            "#######.#######",
            "#######.#######",
            "...##.###.##...",
            ".##...#.#...##.",
            "#.....#.#.....#"}},
          {1, 0, 0,
           {"",
            "......#.#......",
            "...##.###.##...",
            ".######.######.",
            ".######.######.",
            "...##.###.##...",
            "......#.#......",
            ""}},
          {2, 0, 0, {"", "......#.#......", "......###......", "...####.####...", "...####.####...", "......###......", "......#.#......"}},
          {3, 0, 0, {"", "", ".......#.......", ".....##.##.....", ".....##.##.....", ".......#......."}},
          {4, 0, 0, {"", "", "", "......#.#......", "......#.#......"}}}},

        // A crab raising both claws.
        {"Crab",
         {{0, 1, 0,
           {"##..........##",
            "###........###",
            ".##..####..##.",
            "..##########..",
            "..##########..",
            ".#.########.#.",
            "#..#.#..#.#..#",
            "#...#....#...#"}},
          {1, 1, 0,
           {"##..........##",
            "###........###",
            ".##..####..##.",
            "...########...",
            "...########...",
            "...########...",
            "#..#.#..#.#..#",
            "#............#"}},
          {2, 1, 0,
           {"##..........##",
            "##..........##",
            ".....####.....",
            "....######....",
            "....######....",
            "....######...."}},
          {3, 1, 0, {"#............#", "", "", "", ".....####....."}}}},

        // A paper lantern with ribs, a cap and a tassel.
        {"Lantern",
         {{0, 0, 0,
           {".....#####.....",
            "...###.#.###...",
            "..##.#.#.#.##..",
            ".###.#.#.#.###.",
            ".###.#.#.#.###.",
            "..##.#.#.#.##..",
            "...###.#.###...",
            ".....#####....."}},
          {1, 0, 0,
           {".....#####.....",
            "...###.#.###...",
            "..##.#.#.#.##..",
            ".###.#.#.#.###.",
            ".###.#.#.#.###.",
            "..##.#.#.#.##..",
            "...###.#.###...",
            ".....#####....."}},
          {2, 0, 0, {"......###......", ".....#...#.....", "..#..#...#..#..", ".##..#.#.#..##.", ".##..#.#.#..##.", "..#..#...#..#..", ".....#...#.....", "......###......"}}}},

        // A cut diamond with its facets.
        {"Diamond",
         {{0, 0, 0,
           {"......#.#......",
            "....###.###....",
            "..#####.#####..",
            "#######.#######",
            "#######.#######",
            "..#####.#####..",
            "....###.###....",
            "......#.#......"}},
          {1, 0, 0,
           {"",
            ".....##.##.....",
            "...####.####...",
            ".######.######.",
            ".######.######.",
            "...####.####...",
            ".....##.##.....",
            ""}},
          {2, 0, 0, {"", "", "....##...##....", "...####.####...", "...####.####...", "....##...##...."}},
          {3, 0, 0, {"", "", "", ".....##.##.....", ".....##.##....."}}}},

        // A royal crown: three points over a jewelled band.
        {"Crown",
         {{0, 1, 0,
           {"#.....##.....#",
            "##....##....##",
            "###..####..###",
            "######..######",
            "######..######",
            ".#####..#####.",
            "..#.#.##.#.#..",
            ""}},
          {1, 1, 0,
           {"#.....##.....#",
            "##....##....##",
            ".##..####..##.",
            ".#####..#####.",
            ".#####..#####.",
            "..####..####.."}},
          {2, 1, 0,
           {"......##......",
            "#.....##.....#",
            ".#...####...#.",
            "..####..####..",
            "..####..####..",
            "...###..###..."}},
          {3, 1, 0, {"", "", "", "...##....##..."}}}},

        // A fish with fins and a forked tail.
        {"Fish",
         {{0, 0, 0,
           {"....####.......",
            "..#######..##..",
            ".##########.###",
            "#######.#####..",
            "#######.#####..",
            ".##########.###",
            "..#######..##..",
            "....####......."}},
          {1, 0, 0,
           {"",
            "..#######......",
            ".######.##..##.",
            ".#####..###....",
            ".#####..###....",
            ".######.##..##.",
            "..#######......",
            ""}},
          {2, 0, 0, {"", "", "..####.........", "..###...##.....", "..###...##.....", "..####........."}}}},

        // A garden of square beds with stepping stones between them and a
        // fountain in the middle.
        {"Garden",
         {{0, 1, 0,
           {"##.##.##.##.##",
            "##.##.##.##.##",
            "..#..#..#..#..",
            "##.##.##.##.##",
            "##.##.##.##.##",
            "..#..#..#..#..",
            "##.##.##.##.##",
            "##.##.##.##.##"}},
          {1, 1, 0,
           {"##.##.##.##.##",
            "##.##.##.##.##",
            "",
            "##.##.##.##.##",
            "##.##.##.##.##",
            "",
            "##.##.##.##.##",
            "##.##.##.##.##"}},
          {2, 2, 1, {"#..#..#..#..#", "", "", "#..#..#..#..#", "", "", "#..#..#..#..#"}},
          {3, 2, 1, {"", "", "", "......#"}}}},

        // A heart.
        {"Heart",
         {{0, 0, 0,
           {"..###.....###..",
            ".#####...#####.",
            "#######.#######",
            "#######.#######",
            ".######.######.",
            "..#####.#####..",
            "....###.###....",
            ""}},
          {0, 1, 0, {"", "", "", "", "", "", "", "......##"}},
          {1, 0, 0,
           {"",
            "..###.....###..",
            ".#####...#####.",
            ".######.######.",
            "..#####.#####..",
            "...####.####...",
            ".....##.##.....",
            ""}},
          {2, 0, 0, {"", "", "..###.....###..", "...####.####...", "....###.###...."}}}},
    };
    return designs;
}

std::vector<TilePos> s_build(const LayoutDesign &design)
{
    std::vector<TilePos> out;
    for (const Block &b : design.blocks) {
        for (size_t r = 0; r < b.rows.size(); ++r) {
            const std::string row = b.rows[r];
            for (size_t c = 0; c < row.size(); ++c) {
                if (row[c] == '#')
                    out.push_back(TilePos{int(2 * c) + b.dx, int(2 * r) + b.dy, b.z});
            }
        }
    }
    // File lines by layer, then row, then column, so the text reads in order.
    std::sort(out.begin(), out.end(), [](const TilePos &a, const TilePos &b) {
        if (a.z != b.z)
            return a.z < b.z;
        if (a.y != b.y)
            return a.y < b.y;
        return a.x < b.x;
    });
    return out;
}

} // namespace

int layoutCount()
{
    return int(s_designs().size());
}

const char *layoutFileName(int index)
{
    if (index < 0 || index >= layoutCount())
        return nullptr;
    return getLayoutFileName(index);
}

const char *layoutTitle(int index)
{
    if (index < 0 || index >= layoutCount())
        return nullptr;
    return s_designs()[size_t(index)].title;
}

const std::vector<TilePos> &layoutPositions(int index)
{
    static const std::vector<std::vector<TilePos>> built = [] {
        std::vector<std::vector<TilePos>> all;
        for (const LayoutDesign &d : s_designs())
            all.push_back(s_build(d));
        return all;
    }();
    static const std::vector<TilePos> none;
    if (index < 0 || index >= int(built.size()))
        return none;
    return built[size_t(index)];
}

std::string checkLayout(const std::vector<TilePos> &tiles)
{
    char message[160];
    if (tiles.size() != size_t(TM_TILE_COUNT)) {
        std::snprintf(message, sizeof message, "%zu tiles instead of %d", tiles.size(), int(TM_TILE_COUNT));
        return message;
    }
    TMBoard board;
    board.setShadowSizes(tileart::kShadowTopH, tileart::kShadowRightW);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const TilePos &t = tiles[i];
        if (t.x < 0 || t.y < 0 || t.z < 0) {
            std::snprintf(message, sizeof message, "tile %zu at (%d,%d,%d) is off the grid", i, t.x, t.y, t.z);
            return message;
        }
        // The tile's picture with its shadows must stay inside the board
        // area and above the row of numbers at the bottom.
        const TMTile tile = tileart::tileOn(t);
        HRect full;
        board.getFullRect(&tile, &full);
        if (!kTileRoom.containsRect(full)) {
            std::snprintf(message, sizeof message, "tile %zu at (%d,%d,%d) is off the board", i, t.x, t.y, t.z);
            return message;
        }
        for (size_t j = i + 1; j < tiles.size(); ++j) {
            const TilePos &u = tiles[j];
            if (u.z == t.z && std::abs(u.x - t.x) <= 1 && std::abs(u.y - t.y) <= 1) {
                std::snprintf(message, sizeof message, "tiles %zu and %zu overlap at (%d,%d,%d)", i, j, t.x, t.y, t.z);
                return message;
            }
        }
        // Each of the four half-tile cells of a raised tile needs a tile of
        // the layer below under it.
        if (t.z == 0)
            continue;
        for (int cy = t.y; cy <= t.y + 1; ++cy) {
            for (int cx = t.x; cx <= t.x + 1; ++cx) {
                const bool held = std::any_of(tiles.begin(), tiles.end(), [&](const TilePos &u) {
                    return u.z == t.z - 1 && u.x <= cx && cx <= u.x + 1 && u.y <= cy && cy <= u.y + 1;
                });
                if (!held) {
                    std::snprintf(message, sizeof message, "tile %zu at (%d,%d,%d) overhangs the layer below", i,
                                  t.x, t.y, t.z);
                    return message;
                }
            }
        }
    }
    return std::string();
}

void addLayoutEntries(Entries &out)
{
    if (layoutCount() != TM_LAYOUT_COUNT)
        throw std::runtime_error("the kit must define a layout for each of the game's layout files");
    for (int i = 0; i < layoutCount(); ++i) {
        const std::vector<TilePos> &tiles = layoutPositions(i);
        const std::string problem = checkLayout(tiles);
        if (!problem.empty())
            throw std::runtime_error(std::string(layoutFileName(i)) + ": " + problem);
        std::string text;
        char line[48];
        for (const TilePos &t : tiles) {
            std::snprintf(line, sizeof line, "%d,%d,%d\n", t.x, t.y, t.z);
            text += line;
        }
        out.push_back(Entry{layoutFileName(i), std::vector<uint8_t>(text.begin(), text.end())});
    }
}

} // namespace content
