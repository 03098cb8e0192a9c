#include "game/TMBoard.h"

#include <cstdio>
#include <cstring>
#include <functional>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HRNG.h"

const TMTileKind g_tileKindTable[TM_TILE_KIND_ROWS] = {
    // Kinds 0 to 8 use pictures 0 to 8.
    {0, 0, 4}, {1, 1, 4}, {2, 2, 4}, {3, 3, 4}, {4, 4, 4},
    {5, 5, 4}, {6, 6, 4}, {7, 7, 4}, {8, 8, 4},
    // Kinds 9 to 17 use pictures 13 to 21.
    {9, 13, 4}, {10, 14, 4}, {11, 15, 4}, {12, 16, 4}, {13, 17, 4},
    {14, 18, 4}, {15, 19, 4}, {16, 20, 4}, {17, 21, 4},
    // Kinds 18 to 26 use pictures 26 to 34.
    {18, 26, 4}, {19, 27, 4}, {20, 28, 4}, {21, 29, 4}, {22, 30, 4},
    {23, 31, 4}, {24, 32, 4}, {25, 33, 4}, {26, 34, 4},
    // Kinds 27 to 33 use pictures 39 to 45.
    {27, 39, 4}, {28, 40, 4}, {29, 41, 4}, {30, 42, 4}, {31, 43, 4},
    {32, 44, 4}, {33, 45, 4},
    // Kinds 34 and 35: four different pictures that all match one another.
    {34, 35, 1}, {34, 36, 1}, {34, 37, 1}, {34, 38, 1},
    {35, 48, 1}, {35, 49, 1}, {35, 50, 1}, {35, 51, 1},
};

const char *const g_layoutFileNames[TM_LAYOUT_COUNT] = {
    "layouts/classic.tml",   "layouts/coliseum.tml",  "layouts/pyramid.tml",
    "layouts/quin.tml",      "layouts/temple.tml",    "layouts/hurricane.tml",
    "layouts/vemo.tml",      "layouts/velmora0.tml",  "layouts/velmora1.tml",
    "layouts/velmora2.tml",  "layouts/velmora3.tml",  "layouts/velmora4.tml",
    "layouts/velmora5.tml",  "layouts/velmora6.tml",  "layouts/velmora7.tml",
    "layouts/velmora8.tml",  "layouts/velmora9.tml",  "layouts/velmora10.tml",
};

const char *getLayoutFileName(int32_t layout)
{
    if (layout < 0 || layout >= TM_LAYOUT_COUNT)
        return nullptr;
    return g_layoutFileNames[layout];
}

namespace {

const char *const kFallbackLayout = "layouts/classic.tml";

// A generator seeded with 0, or never seeded, answers 0 for ever; a retry
// loop waiting for another value would never end. After this many rejected
// draws in a row the loop takes the next acceptable slot instead.
const int32_t kMaxRejectedDraws = 100000;

// Draws slots 0 to 143 until `accept` takes one. Answers -1 only when no
// slot at all is acceptable. Sets stuck when the bound was reached.
template <typename Accept>
int32_t s_drawSlot(HRNG &rng, Accept accept, bool &stuck)
{
    int32_t rejected = 0;
    for (;;) {
        const uint32_t value = rng.nextInt(TM_TILE_COUNT - 1);
        const int32_t slot = static_cast<int32_t>(value % TM_TILE_COUNT);
        if (value < TM_TILE_COUNT && accept(slot))
            return slot;
        if (++rejected >= kMaxRejectedDraws) {
            stuck = true;
            for (int32_t step = 1; step <= TM_TILE_COUNT; ++step) {
                const int32_t next = (slot + step) % TM_TILE_COUNT;
                if (accept(next))
                    return next;
            }
            return -1;
        }
    }
}

// True when b must be painted before a: lower layers first; within a layer
// right columns before left ones, and within a column upper rows first.
bool s_paintsBefore(const TMTile *b, const TMTile *a)
{
    if (b->z != a->z)
        return b->z < a->z;
    int64_t dx = static_cast<int64_t>(a->x) - b->x;
    if (dx < 0)
        dx = -dx;
    if (dx > 1)
        return b->x > a->x;
    return b->y < a->y;
}

void s_clearTile(TMTile &tile)
{
    tile.present = 0;
    tile.selected = 0;
    tile.kind = 0;
    tile.x = 0;
    tile.y = 0;
    tile.z = 0;
    tile.image = 0;
    tile.removedAt = VyTime();
}

// Grid arithmetic is done in 64 bits so that absurd layout values cannot
// overflow; a result outside 32 bits matches no tile.
inline bool s_samePosition(const TMTile &t, int64_t x, int64_t y, int64_t z)
{
    return t.x == x && t.y == y && t.z == z;
}

int32_t s_clampToInt32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The face with its right and bottom edges moved in by one pixel, edges
// included, so a point on the boundary of two faces belongs to one of them.
bool s_onFaceInside(const HRect &face, int32_t x, int32_t y)
{
    return face.x0 <= x && x <= static_cast<int64_t>(face.x1) - 1 && face.y0 <= y &&
           y <= static_cast<int64_t>(face.y1) - 1;
}

} // namespace

TMTile::TMTile()
    : present(0), selected(0), kind(-1), x(0), y(0), z(0), image(0), removedAt()
{
}

TMBoard::TMBoard()
    : undoTop(-1), hovered(nullptr), selected(nullptr), tilesLeft(0), movesAvailable(0),
      shadowTopHeight(0), shadowRightWidth(0)
{
    for (int32_t i = 0; i < TM_UNDO_DEPTH; ++i) {
        undoStack[i].first = nullptr;
        undoStack[i].second = nullptr;
    }
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
        drawList[i] = nullptr;
}

TMBoard::TMBoard(const TMBoard &other)
{
    *this = other;
}

TMBoard &TMBoard::operator=(const TMBoard &other)
{
    if (this == &other)
        return *this;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
        tiles[i] = other.tiles[i];
    for (int32_t i = 0; i < TM_UNDO_DEPTH; ++i) {
        undoStack[i].first = m_rebase(other, other.undoStack[i].first);
        undoStack[i].second = m_rebase(other, other.undoStack[i].second);
    }
    undoTop = other.undoTop;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
        drawList[i] = m_rebase(other, other.drawList[i]);
    hovered = m_rebase(other, other.hovered);
    selected = m_rebase(other, other.selected);
    tilesLeft = other.tilesLeft;
    movesAvailable = other.movesAvailable;
    shadowTopHeight = other.shadowTopHeight;
    shadowRightWidth = other.shadowRightWidth;
    return *this;
}

TMTile *TMBoard::m_rebase(const TMBoard &source, const TMTile *tile)
{
    const std::less<const TMTile *> before;
    if (!tile || before(tile, source.tiles) || !before(tile, source.tiles + TM_TILE_COUNT))
        return nullptr;
    return &tiles[tile - source.tiles];
}

void TMBoard::setShadowSizes(int32_t topHeight, int32_t rightWidth)
{
    shadowTopHeight = topHeight;
    shadowRightWidth = rightWidth;
}

void TMBoard::clearSelection()
{
    if (selected)
        selected->selected = 0;
    selected = nullptr;
}

void TMBoard::resetUndo()
{
    for (int32_t i = 0; i < TM_UNDO_DEPTH; ++i) {
        undoStack[i].first = nullptr;
        undoStack[i].second = nullptr;
    }
    undoTop = -1;
}

int32_t TMBoard::m_indexAt(int64_t x, int64_t y, int64_t z, bool presentOnly) const
{
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const TMTile &t = tiles[i];
        if (presentOnly && !t.present)
            continue;
        if (s_samePosition(t, x, y, z))
            return i;
    }
    return -1;
}

int32_t TMBoard::m_countPresentAt(int64_t x, int64_t yFirst, int64_t yLast, int64_t z) const
{
    int32_t count = 0;
    for (int64_t y = yFirst; y <= yLast; ++y) {
        if (m_indexAt(x, y, z, true) >= 0)
            ++count;
    }
    return count;
}

TMTile *TMBoard::tileAt(int32_t x, int32_t y, int32_t z, bool presentOnly)
{
    const int32_t i = m_indexAt(x, y, z, presentOnly);
    return i < 0 ? nullptr : &tiles[i];
}

const TMTile *TMBoard::tileAt(int32_t x, int32_t y, int32_t z, bool presentOnly) const
{
    const int32_t i = m_indexAt(x, y, z, presentOnly);
    return i < 0 ? nullptr : &tiles[i];
}

bool TMBoard::isFree(const TMTile *tile) const
{
    if (!tile)
        return false;
    const int64_t x = tile->x;
    const int64_t y = tile->y;
    const int64_t z = tile->z;
    for (int64_t dy = -1; dy <= 1; ++dy) {
        for (int64_t dx = -1; dx <= 1; ++dx) {
            if (m_indexAt(x + dx, y + dy, z + 1, true) >= 0)
                return false;
        }
    }
    if (m_countPresentAt(x - 2, y - 1, y + 1, z) == 0)
        return true;
    return m_countPresentAt(x + 2, y - 1, y + 1, z) == 0;
}

bool TMBoard::isVisible(const TMTile *tile) const
{
    if (!tile)
        return false;
    // Quarters of the tile that a tile of the next layer at (dx, dy) covers:
    // 1 top left, 2 top right, 4 bottom right, 8 bottom left.
    static const int32_t kCoveredQuarters[3][3] = {
        {1, 3, 2},
        {9, 15, 6},
        {8, 12, 4},
    };
    const int64_t x = tile->x;
    const int64_t y = tile->y;
    const int64_t z = tile->z + static_cast<int64_t>(1);
    if (m_indexAt(x, y, z, true) >= 0)
        return false;
    int32_t mask = 0;
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            if (m_indexAt(x + dx, y + dy, z, true) >= 0)
                mask |= kCoveredQuarters[dy + 1][dx + 1];
        }
    }
    return mask != 15;
}

int32_t TMBoard::m_collectSameKind(const TMTile *tile, int32_t outIndex[3]) const
{
    int32_t count = 0;
    if (!tile)
        return 0;
    for (int32_t i = 0; i < TM_TILE_COUNT && count < 3; ++i) {
        const TMTile &t = tiles[i];
        if (&t != tile && t.present && t.kind == tile->kind)
            outIndex[count++] = i;
    }
    return count;
}

int32_t TMBoard::findSameKind(const TMTile *tile, TMTile *out[3])
{
    int32_t index[3];
    out[0] = out[1] = out[2] = nullptr;
    const int32_t count = m_collectSameKind(tile, index);
    for (int32_t k = 0; k < count; ++k)
        out[k] = &tiles[index[k]];
    return count;
}

int32_t TMBoard::findSameKind(const TMTile *tile, const TMTile *out[3]) const
{
    int32_t index[3];
    out[0] = out[1] = out[2] = nullptr;
    const int32_t count = m_collectSameKind(tile, index);
    for (int32_t k = 0; k < count; ++k)
        out[k] = &tiles[index[k]];
    return count;
}

int32_t TMBoard::countFreeTiles() const
{
    int32_t count = 0;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        if (tiles[i].present && isFree(&tiles[i]))
            ++count;
    }
    return count;
}

int32_t TMBoard::countAvailablePairs() const
{
    bool counted[TM_KIND_COUNT] = {};
    int32_t pairs = 0;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const TMTile &t = tiles[i];
        // A kind outside the table cannot have been dealt; it has no flag.
        if (t.kind < 0 || t.kind >= TM_KIND_COUNT || counted[t.kind])
            continue;
        if (!t.present || !isFree(&t))
            continue;
        int32_t same[3];
        const int32_t found = m_collectSameKind(&t, same);
        int32_t freeOfKind = 1;
        for (int32_t k = 0; k < found; ++k) {
            if (isFree(&tiles[same[k]]))
                ++freeOfKind;
        }
        pairs += freeOfKind / 2;
        counted[t.kind] = true;
    }
    return pairs;
}

int32_t TMBoard::m_partnerIndex(const TMTile *tile, int32_t start) const
{
    if (!tile)
        return -1;
    int32_t first = start % TM_TILE_COUNT;
    if (first < 0)
        first += TM_TILE_COUNT;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const int32_t index = (first + i) % TM_TILE_COUNT;
        const TMTile &t = tiles[index];
        // The kind first: the free test is a search of the board.
        if (&t != tile && t.present && t.kind == tile->kind && isFree(&t))
            return index;
    }
    return -1;
}

TMTile *TMBoard::findPartner(const TMTile *tile, int32_t start, int32_t *outIndex)
{
    const int32_t index = m_partnerIndex(tile, start);
    if (outIndex)
        *outIndex = index;
    return index < 0 ? nullptr : &tiles[index];
}

bool TMBoard::findPair(TMTile **outFirst, TMTile **outSecond, int32_t n)
{
    const int32_t pairs = countAvailablePairs();
    if (pairs == 0)
        return false;
    // A kind with three or four free tiles yields more candidates than
    // pairs, so stepping k through the candidates always meets one.
    bool met[TM_TILE_COUNT] = {};
    int64_t k = 0;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        TMTile *t = &tiles[i];
        if (!t->present || !isFree(t))
            continue;
        const int32_t j = m_partnerIndex(t, i);
        if (j < 0)
            continue;
        met[i] = true;
        if (met[j])
            continue;  // already counted from j's side
        if ((k + n) % pairs == 0) {
            if (outFirst)
                *outFirst = t;
            if (outSecond)
                *outSecond = &tiles[j];
            return true;
        }
        ++k;
    }
    if (outFirst)
        *outFirst = nullptr;
    if (outSecond)
        *outSecond = nullptr;
    return false;
}

void TMBoard::removePair(TMTile *first, TMTile *second, const VyTime &now)
{
    if (!first || !second)
        return;
    first->removedAt = now;
    second->removedAt = now;
    // Only pairs of present tiles are removed, so 72 entries always suffice;
    // the check keeps a wrong caller from writing past the stack.
    if (undoTop < TM_UNDO_DEPTH - 1) {
        ++undoTop;
        undoStack[undoTop].first = first;
        undoStack[undoTop].second = second;
    }
    first->present = 0;
    first->selected = 0;
    second->present = 0;
    second->selected = 0;
    tilesLeft -= 2;
    clearSelection();
    movesAvailable = countAvailablePairs();
}

void TMBoard::popUndo(TMTile **outFirst, TMTile **outSecond)
{
    if (undoTop < 0) {
        if (outFirst)
            *outFirst = nullptr;
        if (outSecond)
            *outSecond = nullptr;
        return;
    }
    const TMUndoEntry entry = undoStack[undoTop];
    --undoTop;
    if (outFirst)
        *outFirst = entry.first;
    if (outSecond)
        *outSecond = entry.second;
    bool restored = false;
    TMTile *pair[2] = {entry.first, entry.second};
    for (TMTile *t : pair) {
        if (t) {
            t->present = 1;
            ++tilesLeft;
            restored = true;
        }
    }
    if (restored)
        movesAvailable = countAvailablePairs();
}

bool TMBoard::m_shufflePass(HRNG &rng)
{
    bool stuck = false;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        if (!tiles[i].present)
            continue;
        const int32_t j = s_drawSlot(
            rng, [this, i](int32_t slot) { return slot != i && tiles[slot].present; }, stuck);
        if (j < 0)
            continue;  // the only tile on the board: nothing to swap with
        const int32_t kind = tiles[i].kind;
        const int32_t image = tiles[i].image;
        tiles[i].kind = tiles[j].kind;
        tiles[i].image = tiles[j].image;
        tiles[j].kind = kind;
        tiles[j].image = image;
    }
    return stuck;
}

void TMBoard::shuffleBoard(HRNG &rng)
{
    resetUndo();
    for (;;) {
        const bool stuck = m_shufflePass(rng);
        if (findPair(nullptr, nullptr, 0))
            break;
        if (countFreeTiles() <= 1)
            break;
        // A stuck generator repeats the same pass for ever, which may cycle
        // through arrangements that never offer a pair.
        if (stuck)
            break;
    }
    movesAvailable = countAvailablePairs();
}

void TMBoard::deal(HFileSystem *fileSystem, HRNG &rng, const char *layoutFileName)
{
    TMLayoutPosition positions[TM_TILE_COUNT];
    std::memset(positions, 0, sizeof positions);
    if (!readLayout(fileSystem, layoutFileName, positions, sizeof positions)) {
        tracePrint("TMBoard::deal - could not read layout '%s'\n",
                   layoutFileName ? layoutFileName : "");
        std::memset(positions, 0, sizeof positions);
        const bool isFallback = layoutFileName && std::strcmp(layoutFileName, kFallbackLayout) == 0;
        if (isFallback || !readLayout(fileSystem, kFallbackLayout, positions, sizeof positions)) {
            if (!isFallback)
                tracePrint("TMBoard::deal - could not read layout '%s'\n", kFallbackLayout);
            std::memset(positions, 0, sizeof positions);
        }
    }

    clearSelection();
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        drawList[i] = nullptr;
        s_clearTile(tiles[i]);
    }

    bool stuck = false;
    for (int32_t row = 0; row < TM_TILE_KIND_ROWS; ++row) {
        const TMTileKind &k = g_tileKindTable[row];
        for (int32_t c = 0; c < k.count; ++c) {
            const int32_t slot = s_drawSlot(
                rng, [this](int32_t s) { return !tiles[s].present; }, stuck);
            if (slot < 0)
                break;  // cannot happen: the table holds exactly 144 tiles
            TMTile &t = tiles[slot];
            t.present = 1;
            t.kind = k.kind;
            t.image = k.image;
            t.x = positions[slot].x;
            t.y = positions[slot].y;
            t.z = positions[slot].z;
            drawList[slot] = &t;
        }
    }

    sortDrawList();
    tilesLeft = TM_TILE_COUNT;
    movesAvailable = countAvailablePairs();
    resetUndo();
}

void TMBoard::sortDrawList()
{
    bool swapped;
    do {
        swapped = false;
        for (int32_t i = 0; i < TM_TILE_COUNT - 1; ++i) {
            TMTile *a = drawList[i];
            TMTile *b = drawList[i + 1];
            if (a && b && s_paintsBefore(b, a)) {
                drawList[i] = b;
                drawList[i + 1] = a;
                swapped = true;
            }
        }
    } while (swapped);
}

int32_t TMBoard::m_hitIndex(int32_t x, int32_t y, bool presentOnly) const
{
    int32_t result = -1;
    HRect rect;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const TMTile &t = tiles[i];
        if (presentOnly && !t.present)
            continue;
        getImageRect(&t, &rect);
        if (!rect.contains(x, y))
            continue;
        if (result < 0 || t.z > tiles[result].z) {
            result = i;
            continue;
        }
        // A point on the side strip or bottom edge of the tile found so far
        // goes to a tile whose face is under it.
        HRect face;
        getFaceRect(&tiles[result], &face);
        const bool onResultFace = s_onFaceInside(face, x, y);
        getFaceRect(&t, &face);
        if (!onResultFace && s_onFaceInside(face, x, y))
            result = i;
    }
    return result;
}

TMTile *TMBoard::hitTest(int32_t x, int32_t y, bool presentOnly)
{
    const int32_t i = m_hitIndex(x, y, presentOnly);
    return i < 0 ? nullptr : &tiles[i];
}

const TMTile *TMBoard::hitTest(int32_t x, int32_t y, bool presentOnly) const
{
    const int32_t i = m_hitIndex(x, y, presentOnly);
    return i < 0 ? nullptr : &tiles[i];
}

const char *s_parseLayoutLine(const char *text, TMLayoutPosition *position)
{
    if (!text || !position)
        return text;
    const char *p = text;
    while (*p == ' ')
        ++p;
    // A carriage return before the line feed does no harm: a blank line of a
    // CR LF file stays put like any other blank line.
    if (*p == '\n' || *p == '\0' || (*p == '\r' && (p[1] == '\n' || p[1] == '\0')))
        return text;
    const char *end = p;
    while (*end != '\0' && *end != '\n')
        ++end;
    // sscanf skips a line feed as white space, so a field missing here could
    // be taken from the next line: a field is kept only when it ended on this
    // line. Fields that do not parse keep the values already there.
    int32_t value[3];
    int ends[3] = {-1, -1, -1};
    const int fields = std::sscanf(p, "%d%n,%d%n,%d%n\n", &value[0], &ends[0], &value[1], &ends[1],
                                   &value[2], &ends[2]);
    int32_t *const field[3] = {&position->x, &position->y, &position->z};
    for (int k = 0; k < fields && k < 3; ++k) {
        if (ends[k] < 0 || ends[k] > end - p)
            break;
        *field[k] = value[k];
    }
    return *end == '\n' ? end + 1 : end;
}

bool TMBoard::readLayout(HFileSystem *fileSystem, const char *fileName, TMLayoutPosition *out,
                         int32_t sizeInBytes)
{
    if (!fileSystem || !fileName || !out)
        return false;
    HFile *file = fileSystem->openFileForRead(fileName);
    if (!file)
        return false;
    const int32_t size = file->getSize();
    if (size > TM_MAX_LAYOUT_BYTES) {
        file->close();
        return false;
    }

    // One byte more than the largest file, so the text always ends in a zero
    // right after the bytes actually read.
    char text[TM_MAX_LAYOUT_BYTES + 1];
    int32_t length = size > 0 ? file->read(text, size) : 0;
    if (length < 0)
        length = 0;
    if (length > size)
        length = size;
    text[length] = '\0';

    int32_t lines = sizeInBytes / static_cast<int32_t>(sizeof(TMLayoutPosition));
    if (lines < 1)
        lines = 1;
    TMLayoutPosition position = {0, 0, 0};
    const char *p = text;
    for (int32_t i = 0; i < lines; ++i) {
        p = s_parseLayoutLine(p, &position);
        out[i] = position;
    }
    file->close();
    return true;
}

void TMBoard::getImageRect(const TMTile *tile, HRect *out) const
{
    if (!tile || !out)
        return;
    const int64_t left = static_cast<int64_t>(tile->x) * 33 / 2 + 6 * static_cast<int64_t>(tile->z) + 131;
    const int64_t top = 24 * static_cast<int64_t>(tile->y) + 30 - 7 * static_cast<int64_t>(tile->z);
    *out = HRect(s_clampToInt32(left), s_clampToInt32(top), s_clampToInt32(left + 39),
                 s_clampToInt32(top + 55));
}

void TMBoard::getFaceRect(const TMTile *tile, HRect *out) const
{
    if (!tile || !out)
        return;
    HRect image;
    getImageRect(tile, &image);
    const int64_t left = image.x0;
    const int64_t top = image.y0;
    *out = HRect(s_clampToInt32(left + 6), image.y0, s_clampToInt32(left + 39),
                 s_clampToInt32(top + 48));
}

void TMBoard::getFullRect(const TMTile *tile, HRect *out) const
{
    if (!tile || !out)
        return;
    HRect image;
    getImageRect(tile, &image);
    *out = HRect(image.x0, s_clampToInt32(static_cast<int64_t>(image.y0) - shadowTopHeight),
                 s_clampToInt32(static_cast<int64_t>(image.x1) + shadowRightWidth), image.y1);
}
