// The tile art: sheets that fit the game's cell geometry and tile kinds,
// faces that can be told apart, the painting order of the previews, and
// the rules the plain and fade blits put on the other pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "content/art_tiles.h"
#include "content/kit_test_util.h"
#include "game/TMBoard.h"

using namespace content;
using namespace content::tileart;
using kit_test::luminance;

namespace {

uint32_t alphaOf(uint32_t p) { return p >> 24; }

bool hasBinaryAlpha(const Picture &p)
{
    for (uint32_t px : p.argb)
        if (alphaOf(px) != 0 && alphaOf(px) != 255)
            return false;
    return true;
}

class TileSheets : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (int s = 0; s < kTileSets; ++s)
            sheets().push_back(tileSheet(s));
    }
    static std::vector<Picture> &sheets()
    {
        static std::vector<Picture> all;
        return all;
    }
    // Mean face colour channel values and luminance of one cell.
    static double faceLuminance(const Picture &sheet, int image)
    {
        int cx = (image % kColumns) * kCellW, cy = (image / kColumns) * kCellH;
        double sum = 0;
        int n = 0;
        for (int y = 2; y < 46; ++y)
            for (int x = kFaceX + 2; x < kCellW - 2; ++x, ++n)
                sum += luminance(sheet.at(cx + x, cy + y));
        return sum / n;
    }
};

TEST_F(TileSheets, CellsHoldTheTileKindsOfTheBoardAndNothingElse)
{
    std::set<int> used;
    for (const TMTileKind &row : g_tileKindTable)
        used.insert(row.image);
    for (int image = 0; image < kColumns * kRows; ++image)
        EXPECT_EQ(isTileImage(image), used.count(image) == 1) << "image " << image;

    for (int s = 0; s < kTileSets; ++s) {
        const Picture &sheet = sheets()[s];
        ASSERT_EQ(sheet.width, kColumns * kCellW);
        ASSERT_EQ(sheet.height, kRows * kCellH);
        EXPECT_TRUE(hasBinaryAlpha(sheet)) << "set " << s;
        for (int image = 0; image < kColumns * kRows; ++image) {
            int cx = (image % kColumns) * kCellW, cy = (image / kColumns) * kCellH;
            auto a = [&](int x, int y) { return alphaOf(sheet.at(cx + x, cy + y)); };
            if (!isTileImage(image)) {
                for (int y = 0; y < kCellH; ++y)
                    for (int x = 0; x < kCellW; ++x)
                        ASSERT_EQ(a(x, y), 0u) << "set " << s << " unused image " << image;
                continue;
            }
            // The silhouette is the face with its side strip and bottom edge:
            // the corners cut off by the two diagonals stay transparent.
            EXPECT_EQ(a(0, 0), 0u) << "set " << s << " image " << image;
            EXPECT_EQ(a(38, 54), 0u) << "set " << s << " image " << image;
            for (auto [x, y] : {std::pair{6, 0}, {38, 0}, {38, 47}, {0, 54}, {0, 8}, {20, 24}, {3, 30}, {20, 52}})
                EXPECT_EQ(a(x, y), 255u) << "set " << s << " image " << image << " at " << x << "," << y;
        }
    }
}

TEST_F(TileSheets, EveryPictureDiffersClearlyFromEveryOtherInItsSet)
{
    std::vector<int> images;
    for (int image = 0; image < kColumns * kRows; ++image)
        if (isTileImage(image))
            images.push_back(image);
    for (int s = 0; s < kTileSets; ++s) {
        const Picture &sheet = sheets()[s];
        for (size_t i = 0; i < images.size(); ++i)
            for (size_t j = i + 1; j < images.size(); ++j) {
                int ax = (images[i] % kColumns) * kCellW, ay = (images[i] / kColumns) * kCellH;
                int bx = (images[j] % kColumns) * kCellW, by = (images[j] / kColumns) * kCellH;
                // Count face pixels that differ visibly in some channel.
                int differing = 0;
                for (int y = 0; y < kFaceH; ++y)
                    for (int x = kFaceX; x < kCellW; ++x) {
                        uint32_t p = sheet.at(ax + x, ay + y), q = sheet.at(bx + x, by + y);
                        int most = 0;
                        for (int sh : {0, 8, 16})
                            most = std::max(most, std::abs(int((p >> sh) & 255) - int((q >> sh) & 255)));
                        differing += most > 60;
                    }
                EXPECT_GT(differing, 25) << "set " << s << ": images " << images[i] << " and " << images[j];
            }
    }
}

TEST_F(TileSheets, FacesStayModerateAndTheHalfHighlightSetsAreTheBrightest)
{
    std::vector<double> mean(kTileSets, 0);
    for (int s = 0; s < kTileSets; ++s) {
        int n = 0;
        for (int image = 0; image < kColumns * kRows; ++image)
            if (isTileImage(image)) {
                mean[s] += faceLuminance(sheets()[s], image);
                ++n;
            }
        mean[s] /= n;
        // Added onto itself a face must not turn into a white block.
        EXPECT_LT(mean[s], 0.8) << "set " << s;
    }
    // Sets 1, 2 and 8 get half the show-moves highlight in the game.
    for (int bright : {0, 1, 7})
        for (int other : {2, 3, 4, 5, 6})
            EXPECT_GT(mean[bright], mean[other]) << "set " << bright << " against " << other;
    // Eight different looks: no two sets share a face tone.
    for (int a = 0; a < kTileSets; ++a)
        for (int b = a + 1; b < kTileSets; ++b) {
            double diff = 0;
            int n = 0;
            for (int y = 2; y < 46; ++y)
                for (int x = kFaceX + 2; x < kCellW - 2; ++x, ++n) {
                    uint32_t p = sheets()[a].at(kCellW * 4 + x, y), q = sheets()[b].at(kCellW * 4 + x, y);
                    for (int sh : {0, 8, 16})
                        diff += std::abs(int((p >> sh) & 255) - int((q >> sh) & 255));
                }
            EXPECT_GT(diff / n, 25) << "sets " << a << " and " << b;
        }
}

TEST(TileArt, SheetsArePureFunctionsOfTheirSet)
{
    EXPECT_EQ(tileSheet(3).argb, tileSheet(3).argb);
    EXPECT_EQ(background(4).argb, background(4).argb);
}

TEST(TileArt, PaintingOrderIsTheBoardModelsOrder)
{
    // The game's bubble sort with its non-transitive relation, from index
    // order: every layout's positions and a board with half offsets.
    std::vector<std::vector<TilePos>> layouts;
    for (int i = 0; i < kLayouts; ++i)
        layouts.push_back(previewPositions(i));
    std::vector<TilePos> staggered;
    for (int i = 0; i < TM_TILE_COUNT; ++i)
        staggered.push_back({(i * 7) % 29, (i * 5) % 15, (i * 3) % 4});
    layouts.push_back(staggered);

    for (size_t l = 0; l < layouts.size(); ++l) {
        const std::vector<TilePos> &pos = layouts[l];
        ASSERT_EQ(pos.size(), size_t(TM_TILE_COUNT));
        TMBoard board;
        for (int i = 0; i < TM_TILE_COUNT; ++i) {
            board.tiles[i].present = 1;
            board.tiles[i].x = pos[i].x;
            board.tiles[i].y = pos[i].y;
            board.tiles[i].z = pos[i].z;
            board.drawList[i] = &board.tiles[i];
        }
        board.sortDrawList();
        std::vector<int> expected;
        for (TMTile *t : board.drawList)
            expected.push_back(int(t - board.tiles));
        EXPECT_EQ(paintingOrder(pos), expected) << "layout " << l;
    }
}

TEST(TileArt, ShadowStripsFadeAndOutlinesFrameTheFace)
{
    struct Case { const char *name; Picture p; int w, h; };
    const Case shadows[] = {{"top", shadowTop(), 33, 7}, {"right", shadowRight(), 6, 48}};
    for (const Case &c : shadows) {
        ASSERT_EQ(c.p.width, c.w) << c.name;
        ASSERT_EQ(c.p.height, c.h) << c.name;
        // The fade blit copies a strip without partial alpha as an opaque block.
        int partial = 0;
        for (uint32_t px : c.p.argb) {
            partial += alphaOf(px) > 0 && alphaOf(px) < 255;
            EXPECT_LT(luminance(px), 0.2) << c.name;
        }
        EXPECT_GT(partial, c.w * c.h / 2) << c.name;
    }
    // Darkest next to the tile: the bottom row of the top strip, the left
    // column of the right strip; the top strip's left end is cut diagonally.
    Picture top = shadowTop(), right = shadowRight();
    EXPECT_GT(alphaOf(top.at(20, 6)), alphaOf(top.at(20, 0)));
    EXPECT_GT(alphaOf(right.at(0, 20)), alphaOf(right.at(5, 20)));
    EXPECT_EQ(alphaOf(top.at(0, 0)), 0u);
    EXPECT_GT(alphaOf(top.at(0, 6)), 0u);

    for (bool free : {true, false}) {
        Picture o = outline(free);
        ASSERT_EQ(o.width, kFaceW);
        ASSERT_EQ(o.height, kFaceH);
        EXPECT_EQ(alphaOf(o.at(16, 24)), 0u);
        EXPECT_GT(alphaOf(o.at(1, 24)), 200u);
        EXPECT_GT(alphaOf(o.at(16, 1)), 200u);
        uint32_t edge = o.at(1, 24);
        int r = (edge >> 16) & 255, g = (edge >> 8) & 255;
        EXPECT_EQ(free, g > r) << "green for a free tile, red for a blocked one";
    }
}

TEST(TileArt, PreviewsAndTitlesHaveTheirSizesAndPlainBlitAlpha)
{
    for (int s = 0; s < kTileSets; ++s) {
        Picture p = tilePreview(s);
        EXPECT_EQ(p.width, 160);
        EXPECT_EQ(p.height, 72);
        EXPECT_TRUE(hasBinaryAlpha(p)) << "tile preview " << s;
        EXPECT_EQ(alphaOf(p.at(0, 0)), 0u);
        EXPECT_EQ(alphaOf(p.at(80, 36)), 255u);
    }
    for (int l = 0; l < kLayouts; ++l) {
        Picture title = layoutTitlePicture(l);
        EXPECT_EQ(title.width, 160);
        EXPECT_EQ(title.height, 16);
        EXPECT_TRUE(hasBinaryAlpha(title)) << "title " << l;
        Picture preview = layoutPreview(l);
        EXPECT_EQ(preview.width, 250);
        EXPECT_EQ(preview.height, 210);
    }
}

TEST(TileArt, BackgroundsAreOpaqueFreeOfTheColourKeyAndCalmAtTheBottom)
{
    for (int b = 0; b < kBackgrounds; ++b) {
        Picture full = background(b), small = backgroundPreview(b);
        ASSERT_EQ(full.width, 520);
        ASSERT_EQ(full.height, 480);
        ASSERT_EQ(small.width, 226);
        ASSERT_EQ(small.height, 100);
        for (const Picture *p : {&full, &small})
            for (uint32_t px : p->argb) {
                ASSERT_EQ(alphaOf(px), 255u) << "background " << b;
                // Far enough from magenta that JPEG noise cannot reach it.
                int r = (px >> 16) & 255, g = (px >> 8) & 255, bl = px & 255;
                ASSERT_FALSE(r > 200 && g < 60 && bl > 200) << "background " << b;
            }
        // The HUD row (labels from y 444, digits from y 452) sits on a
        // nearly flat band.
        double sum = 0, sq = 0;
        int n = 0;
        for (int y = 446; y < 480; ++y)
            for (int x = 5; x < 520; ++x, ++n) {
                double l = luminance(full.at(x, y));
                sum += l;
                sq += l * l;
            }
        double mean = sum / n, sd = std::sqrt(std::max(0.0, sq / n - mean * mean));
        EXPECT_LT(sd, 0.02) << "background " << b;
        EXPECT_LT(mean, 0.45) << "background " << b;
    }
}

TEST(TileArt, EntriesAreTheArtTablesNamesWithMatchingPictureSizes)
{
    Entries entries;
    addTileArtEntries(entries);
    std::vector<std::string> expected;
    auto add = [&](const char *fmt, int count) {
        char name[64];
        for (int i = 1; i <= count; ++i) {
            std::snprintf(name, sizeof name, fmt, i);
            expected.push_back(name);
        }
    };
    add("art/tileset_%d.tga", 8);
    add("art/preview_tile_%d.tga", 8);
    add("art/preview_layout_%d.jpg", 18);
    add("art/title_layout_%d.tga", 18);
    expected.insert(expected.end(), {"art/shadow_top.tga", "art/shadow_right.tga", "art/outline_green.tga",
                                     "art/outline_red.tga"});
    add("art/arena%d_tl.jpg", 10);
    add("art/preview_background_%d.jpg", 10);
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i]);
        const std::vector<uint8_t> &b = entries[i].bytes;
        ASSERT_GT(b.size(), 18u) << entries[i].name;
        if (entries[i].name.size() > 4 && entries[i].name.compare(entries[i].name.size() - 4, 4, ".tga") == 0) {
            EXPECT_EQ(b[2], 2) << entries[i].name;  // uncompressed true colour
            EXPECT_EQ(b[16], 32) << entries[i].name;
        } else {
            EXPECT_EQ(b[0], 0xff) << entries[i].name;  // JPEG start of image
            EXPECT_EQ(b[1], 0xd8) << entries[i].name;
        }
    }
    auto tgaSize = [&](const char *name, int w, int h) {
        for (const Entry &e : entries)
            if (e.name == name) {
                EXPECT_EQ(e.bytes[12] | e.bytes[13] << 8, w) << name;
                EXPECT_EQ(e.bytes[14] | e.bytes[15] << 8, h) << name;
            }
    };
    tgaSize("art/tileset_5.tga", kColumns * kCellW, kRows * kCellH);
    tgaSize("art/preview_tile_2.tga", 160, 72);
    tgaSize("art/title_layout_18.tga", 160, 16);
    tgaSize("art/shadow_top.tga", 33, 7);
    tgaSize("art/shadow_right.tga", 6, 48);
    tgaSize("art/outline_red.tga", kFaceW, kFaceH);
}

} // namespace
