#ifndef GAME_TMBOARD_H
#define GAME_TMBOARD_H

// The board model: 144 tiles on the positions of a layout file, the rule
// that decides which tiles may be taken, pair counting and hint search,
// removal with undo, shuffling, dealing, the painting order and the screen
// geometry of a tile. The board is a plain record: it owns nothing on the
// heap, every pointer points into its own tile array, and the services it
// needs (the game clock, the random-number generator, the resource file
// system) are handed to the operations that use them.

#include <cstddef>
#include <cstdint>

#include "engine/core/HRect.h"
#include "engine/core/VyTime.h"

class HFileSystem;
class HRNG;

enum
{
    TM_TILE_COUNT = 144,     // tiles on a board, positions in a layout file
    TM_TILE_KIND_ROWS = 42,  // rows of the tile-kind table
    TM_KIND_COUNT = 36,      // distinct kinds (0 to 35)
    TM_UNDO_DEPTH = 72,      // 144 tiles allow at most 72 removals
    TM_LAYOUT_COUNT = 18,    // layouts the game offers
    TM_MAX_LAYOUT_BYTES = 8192
};

// The tile sheet: pictures in 13 columns and 4 rows of 39 x 55 pixel cells,
// image i in column i mod 13 and row i div 13. A tile's image rectangle is
// one cell; its face is the cell's (6, 0)-(39, 48).
enum
{
    TM_SHEET_COLUMNS = 13,
    TM_SHEET_ROWS = 4,
    TM_TILE_IMAGE_WIDTH = 39,
    TM_TILE_IMAGE_HEIGHT = 55,
    TM_TILE_FACE_LEFT = 6,
    TM_TILE_FACE_WIDTH = 33,
    TM_TILE_FACE_HEIGHT = 48
};

// One row of the tile-kind table: `count` tiles of `kind`, drawn with picture
// `image` of the tile sheet. Tiles match when their kinds are equal.
struct TMTileKind
{
    int32_t kind;
    int32_t image;
    int32_t count;
};

static_assert(sizeof(TMTileKind) == 12, "TMTileKind is three 32-bit integers");

// The 42 rows, 144 tiles in all; kinds 34 and 35 have four pictures each.
extern const TMTileKind g_tileKindTable[TM_TILE_KIND_ROWS];

// The layout files in the archive, by layout number 0 to 17.
extern const char *const g_layoutFileNames[TM_LAYOUT_COUNT];

// The layout file of a layout number, or null when the number is out of range.
const char *getLayoutFileName(int32_t layout);

struct TMTile
{
    uint8_t present;   // on the board
    uint8_t selected;  // the player's current selection
    int32_t kind;      // -1 in a tile that was never dealt
    int32_t x, y, z;   // grid position: x, y in half tiles, z the layer
    int32_t image;     // picture in the tile sheet
    VyTime removedAt;  // game clock of the removal; 0 when not fading out

    TMTile();
};

// One line of a layout file. Layout buffers are counted in records of 12 bytes.
struct TMLayoutPosition
{
    int32_t x;
    int32_t y;
    int32_t z;
};

static_assert(sizeof(TMLayoutPosition) == 12, "a layout position is 12 bytes");

// One undo entry: the tile clicked last and the tile that was selected.
struct TMUndoEntry
{
    TMTile *first;
    TMTile *second;
};

// Parses one layout line "x,y,z" into position (leading blanks allowed;
// fields are read from this line only, and fields that do not parse keep the
// values already there). Answers the start of the next line; on an empty
// line (blanks, with or without a CR before the line feed) or the end of the
// text it answers the same position, so later lines repeat the values read.
const char *s_parseLayoutLine(const char *text, TMLayoutPosition *position);

struct TMBoard
{
    TMUndoEntry undoStack[TM_UNDO_DEPTH];
    int32_t undoTop;  // index of the top entry, -1 when empty
    TMTile *drawList[TM_TILE_COUNT];  // painting order
    TMTile tiles[TM_TILE_COUNT];      // tile i stands on layout position i
    TMTile *hovered;   // kept by the game's pointer tracking
    TMTile *selected;
    int32_t tilesLeft;
    int32_t movesAvailable;  // countAvailablePairs after the last change

    // Sizes of the top and right shadow sprites, which widen the full
    // rectangle; the game sets them once its art is loaded.
    int32_t shadowTopHeight;
    int32_t shadowRightWidth;

    TMBoard();
    // A copy's pointers (draw list, undo entries, selection, hovered tile)
    // point into its own tiles, never into the board it was copied from.
    TMBoard(const TMBoard &other);
    TMBoard &operator=(const TMBoard &other);

    void setShadowSizes(int32_t topHeight, int32_t rightWidth);

    void clearSelection();
    void resetUndo();

    // The first tile in index order at (x, y, z); with presentOnly, tiles
    // not on the board are passed over.
    TMTile *tileAt(int32_t x, int32_t y, int32_t z, bool presentOnly);
    const TMTile *tileAt(int32_t x, int32_t y, int32_t z, bool presentOnly) const;

    // Nothing on the tile and at least one long side open. The tile's own
    // present flag is not looked at.
    bool isFree(const TMTile *tile) const;
    // False when the tiles of the next layer cover the tile completely.
    bool isVisible(const TMTile *tile) const;

    // Clears out[0..2], then stores the other present tiles of the tile's
    // kind in index order; answers how many.
    int32_t findSameKind(const TMTile *tile, TMTile *out[3]);
    int32_t findSameKind(const TMTile *tile, const TMTile *out[3]) const;

    int32_t countFreeTiles() const;
    // Sum over the kinds of (free tiles of the kind) / 2.
    int32_t countAvailablePairs() const;

    // The first present, free tile of the same kind, other than the tile,
    // looking from index start round the board; its index goes to outIndex
    // (-1 and null when there is none). outIndex may be null.
    TMTile *findPartner(const TMTile *tile, int32_t start, int32_t *outIndex);

    // The n-th available pair, counted round from the first; either out
    // pointer may be null. False, outs untouched, when no pair is available.
    bool findPair(TMTile **outFirst, TMTile **outSecond, int32_t n);

    // Takes a matched pair off the board as one undo entry, stamped with the
    // game clock `now` for the fade-out.
    void removePair(TMTile *first, TMTile *second, const VyTime &now);
    // Puts the last removed pair back and answers it; two nulls when the
    // stack is empty. Either out pointer may be null.
    void popUndo(TMTile **outFirst, TMTile **outSecond);

    // Redistributes the kinds of the present tiles until a pair is available
    // (or at most one tile is free). Empties the undo stack.
    void shuffleBoard(HRNG &rng);

    // A new random deal on the layout read from fileSystem; falls back to the
    // classic layout, then to all-zero positions, when the layout cannot be read.
    void deal(HFileSystem *fileSystem, HRNG &rng, const char *layoutFileName);

    // Bubble sort of the draw list into painting order. The "goes first"
    // relation is not transitive, so no other sort gives the same order.
    void sortDrawList();

    // The tile under the screen point: the higher tile wins, except that a
    // point on a tile's side strip or bottom edge goes to a tile whose face
    // is under it.
    TMTile *hitTest(int32_t x, int32_t y, bool presentOnly);
    const TMTile *hitTest(int32_t x, int32_t y, bool presentOnly) const;

    // Reads sizeInBytes / 12 positions (at least one) from a layout file of
    // at most 8192 bytes. False when the file is missing or too large.
    static bool readLayout(HFileSystem *fileSystem, const char *fileName,
                           TMLayoutPosition *out, int32_t sizeInBytes);

    // Screen rectangles of a tile: the 39 x 55 picture, its face without the
    // left side strip and bottom edge, and the picture grown by the shadows.
    void getImageRect(const TMTile *tile, HRect *out) const;
    void getFaceRect(const TMTile *tile, HRect *out) const;
    void getFullRect(const TMTile *tile, HRect *out) const;

private:
    // Grid lookups take 64-bit coordinates so that x + 2 or z + 1 of an
    // absurd layout value cannot overflow.
    int32_t m_indexAt(int64_t x, int64_t y, int64_t z, bool presentOnly) const;
    int32_t m_countPresentAt(int64_t x, int64_t yFirst, int64_t yLast, int64_t z) const;
    int32_t m_collectSameKind(const TMTile *tile, int32_t outIndex[3]) const;
    int32_t m_partnerIndex(const TMTile *tile, int32_t start) const;
    int32_t m_hitIndex(int32_t x, int32_t y, bool presentOnly) const;
    bool m_shufflePass(HRNG &rng);
    // The tile of this board at the index `tile` has on `source`; null for
    // null or a pointer outside source's tiles.
    TMTile *m_rebase(const TMBoard &source, const TMTile *tile);
};

#endif
