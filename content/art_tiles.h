// The tile art of the kit: the eight tile sheets and their previews, the
// layout previews and titles, the shadow strips, the hover outlines and the
// ten backgrounds with their previews.
#ifndef CONTENT_ART_TILES_H
#define CONTENT_ART_TILES_H

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "content/art_common.h"

#include <vector>

namespace content {
namespace tileart {

constexpr int kTileSets = 8;
constexpr int kBackgrounds = 10;
constexpr int kLayouts = 18;

// Tile sheet geometry: 13 x 4 cells of 39 x 55; the face is (6, 0)-(39, 48).
constexpr int kCellW = 39, kCellH = 55, kColumns = 13, kRows = 4;
constexpr int kFaceX = 6, kFaceW = 33, kFaceH = 48;

// Images of the sheet that show a tile (the others stay transparent).
bool isTileImage(int image);

// Colours the glyphs of a face are drawn in.
struct Inks
{
    art::Rgb ink, red, green, blue, paper, gold;
};

// One face (33 x 48, origin at the face's top-left corner) of image `image`.
void drawFace(cairo_t *cr, int image, const Inks &inks);

// The pictures, sets and backgrounds counted from 0 here.
Picture tileSheet(int set);
Picture tilePreview(int set);
Picture tilePreview(const Picture &sheet);
Picture shadowTop();
Picture shadowRight();
Picture outline(bool free);
Picture layoutTitlePicture(int layout);
Picture layoutPreview(int layout);
Picture background(int index);          // index 0 is "arena1"
Picture backgroundPreview(int index);   // same numbering
Picture backgroundPreview(const Picture &background);

// The frame of the layout and background previews: a 3 px dark gold rule
// along the edge of a w x h picture and a 1 px gold rule `inner` pixels in
// (a half-pixel position).
void drawPreviewFrame(cairo_t *cr, int w, int h, double inner);

// Positions of a layout to draw: the kit's layout when it has 144
// positions, otherwise a stand-in pyramid so that a preview always exists.
std::vector<TilePos> previewPositions(int layout);

// Indices of `positions` in the game's painting order (the board's draw
// list after a deal: index order, then its bubble sort).
std::vector<int> paintingOrder(const std::vector<TilePos> &positions);

// The tiles of `positions` drawn like the game draws a fresh deal: painting
// order, layers 6 px right and 7 px up, top and right shadows. `depthShade`
// darkens each layer below the top one by that much more, which makes the
// stack readable in a small picture. The result is the 640 x 480 screen with
// the board area filled by `backdrop` (or transparent).
Picture renderBoard(const std::vector<TilePos> &positions, const Picture &sheet,
                    const Picture *backdrop, double depthShade, uint32_t dealSeed);

} // namespace tileart
} // namespace content

#endif
