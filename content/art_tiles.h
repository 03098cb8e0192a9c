// The tile art of the kit: the eight tile sheets and their previews, the
// layout previews and titles, the shadow strips, the hover outlines and the
// ten backgrounds with their previews.
#ifndef CONTENT_ART_TILES_H
#define CONTENT_ART_TILES_H

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "content/art_common.h"
#include "game/TMBoard.h"

#include <vector>

namespace content {
namespace tileart {

constexpr int kTileSets = 8;
constexpr int kBackgrounds = 10;
constexpr int kLayouts = TM_LAYOUT_COUNT;

// The game's tile sheet geometry, under the short names the art uses.
constexpr int kCellW = TM_TILE_IMAGE_WIDTH, kCellH = TM_TILE_IMAGE_HEIGHT;
constexpr int kColumns = TM_SHEET_COLUMNS, kRows = TM_SHEET_ROWS;
constexpr int kFaceX = TM_TILE_FACE_LEFT, kFaceW = TM_TILE_FACE_WIDTH, kFaceH = TM_TILE_FACE_HEIGHT;

// Sizes of the pictures the title screen and the best-times dialog show.
constexpr int kTilePreviewW = 160, kTilePreviewH = 72;
constexpr int kLayoutTitleW = 160, kLayoutTitleH = 16;
constexpr int kLayoutPreviewW = 250, kLayoutPreviewH = 210;
constexpr int kBackgroundPreviewW = 226, kBackgroundPreviewH = 100;

// The shadow strips: as deep as one layer step (6 right, 7 up), along the
// top and the right side of a face.
constexpr int kShadowTopH = 7, kShadowRightW = 6;

// The first of the four flower and the four season pictures of the sheet;
// each set of four match one another.
constexpr int kFirstFlowerImage = 35, kFirstSeasonImage = 48;

// Images of the sheet that the tile-kind table uses (the others stay
// transparent).
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
// Tiles of a sheet side by side as neighbours on the board, each face over
// the side of the tile to its right: kFaceX + n * kFaceW by kCellH, clear
// around the tiles.
Picture tileRow(const Picture &sheet, const std::vector<int> &images);
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

// A present tile standing on a layout position, of no kind yet.
TMTile tileOn(const TilePos &position);

// Indices of `positions` (at most 144) in the game's painting order: the
// draw list of a board whose tile i stands on position i, sorted by the board.
std::vector<int> paintingOrder(const std::vector<TilePos> &positions);

// The tiles of `positions` (at most 144) drawn like the game draws a fresh
// deal: painting order, the board's tile rectangles, top and right shadows.
// `depthShade` darkens each layer below the top one by that much more, which
// makes the stack readable in a small picture. The result is the 640 x 480
// screen with the background picture's area filled by `backdrop` (or
// transparent).
Picture renderBoard(const std::vector<TilePos> &positions, const Picture &sheet,
                    const Picture *backdrop, double depthShade, uint32_t dealSeed);

} // namespace tileart
} // namespace content

#endif
