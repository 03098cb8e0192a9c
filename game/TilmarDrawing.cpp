// The picture side of the game: the art table and its on-demand slots, the
// painting of one dirty rectangle in every state, the tiles with their
// shadows and highlights, the head-up display, and the timed effects (hint
// pulse, show-moves, removed-tile fade, no-match overlay) with their expiry.
#include <cstring>

#include "engine/core/HMath.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/H2DDisplayDevice.h"
#include "game/TMScreenLayout.h"
#include "game/Tilmar.h"

namespace {

const uint64_t kRemovedFadeMs = 500;
const uint64_t kHintHighlightMs = 3450;
const int64_t kNoMatchFullMs = 1499;
const int64_t kNoMatchFadeStartMs = 1500;
const int64_t kNoMatchMs = 3000;
const float kNoMatchFadePerMs = 0.00066666666f;
const uint32_t kShowMovesFadeInMs = 500;
const uint32_t kShowMovesFullMs = 4000;

// Pale tile sets are lit at half strength by show-moves.
const float kShowMovesFactor[TM_TILESET_COUNT] = {0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.5f};

// The fade blend lays a picture over the screen at opacity A/255; the tile
// blend adds the source at F/255 to the screen at G/255.
HBlendMode fadeBlend(int32_t a)
{
    return HBlendMode{2, 2, 0, a, 2, 2, 1, 255, 0};
}
HBlendMode tileBlend(int32_t f, int32_t g)
{
    return HBlendMode{2, 2, 0, f, 1, 4, 0, g, 0};
}

// An opacity as a blend constant: truncated, low 8 bits.
int32_t blendConstant(float opacity)
{
    return static_cast<int32_t>(opacity * 255.0f) & 0xFF;
}

void blendWith(VGSprite *sprite, const HRect &dest, const HRect &src, const HBlendMode &b)
{
    sprite->blendBlit(dest, src, b.srcAlphaSource, b.srcParamSource, b.srcInvert, b.srcConstAlpha,
                      b.dstAlphaSource, b.dstParamSource, b.dstInvert, b.dstConstAlpha, b.op);
}

// dest and src clipped to clip together; false when nothing is left.
bool clipPair(const HRect &clip, const HRect &dest, const HRect &src, HRect &outDest, HRect &outSrc)
{
    outSrc = src;
    return dest.clip(clip, outDest, outSrc);
}

// The whole picture with its top-left corner at (x, y), inside clip.
void blitWholeAt(VGSprite *sprite, int32_t x, int32_t y, const HRect &clip)
{
    if (!sprite)
        return;
    const HRect src = sprite->getRect();
    HRect d, s;
    if (clipPair(clip, HRect(x, y, x + src.x1, y + src.y1), src, d, s))
        sprite->blit(d, s);
}

// Cuts a shadow strip along one axis against a neighbour's face n0..n1: a
// strip starting on the face loses its start, a face starting inside the
// strip cuts its end. The source edges move by the same amounts.
void cutStrip(int32_t &start, int32_t &end, int32_t &srcStart, int32_t &srcEnd, int32_t n0, int32_t n1)
{
    if (n0 <= start && start <= n1) {
        srcStart += n1 - start;
        start = n1;
    } else if (start < n0 && n0 <= end) {
        srcEnd -= end - n0;
        end = n0;
    }
}

// The file numbers of the backgrounds: index 0 is number 10.
int32_t backgroundNumber(int32_t index)
{
    return index == 0 ? 10 : index;
}

void unloadAll(VGSprite &sprite)
{
    while (sprite.isLoaded())
        sprite.unload();
}

// Brings an on-demand slot in line with the chosen index. The index is
// recorded whatever the load answers: a failed load leaves the slot empty,
// so the next call tries again.
void loadOnDemand(VGSprite &slot, int32_t &loadedIndex, int32_t chosen, const char *format, int32_t number,
                  H2DDisplayDevice *display, HFileSystem *fileSystem)
{
    if (slot.isLoaded()) {
        if (loadedIndex == chosen)
            return;
        unloadAll(slot);
    }
    char name[128];
    formatString(name, sizeof name, format, number);
    slot.load(display, fileSystem, name);
    loadedIndex = chosen;
}

// Names of the numbered art series, kept for the art table's pointers.
const int32_t kNameSize = 40;
char g_seriesNames[TM_SPRITE_COUNT][kNameSize];

struct NamedSlot
{
    int32_t slot;
    const char *name;
};

const NamedSlot kSingleArt[] = {
    {TM_ART_FONT, "art/font.tga"},
    {TM_ART_PAUSE, "art/pause_tl.jpg"},
    {TM_ART_LEFT_PANEL, "art/left_tl.jpg"},
    {TM_ART_TITLE, "art/start_tl.jpg"},
    {TM_ART_ARROW_LEFT, "art/arrow_left_tl.tga"},
    {TM_ART_ARROW_RIGHT, "art/arrow_right_tl.tga"},
    {TM_ART_ARROW_LEFT_LIT, "art/arrow_left_lit_tl.tga"},
    {TM_ART_ARROW_RIGHT_LIT, "art/arrow_right_lit_tl.tga"},
    {TM_ART_SHADOW_TOP, "art/shadow_top.tga"},
    {TM_ART_SHADOW_RIGHT, "art/shadow_right.tga"},
    {TM_ART_NO_MATCH, "art/nomatch_alpha_tl.tga"},
    {TM_ART_BOARD_COMPLETE, "art/board_complete_tl.jpg"},
    {TM_ART_GAME_OVER, "art/gameover_tl.jpg"},
    {TM_ART_START, "art/icon_start_tl.tga"},
    {TM_ART_START_LIT, "art/icon_start_lit_tl.tga"},
    {TM_ART_CONTINUE_LIT, "art/icon_clicktocontinue_lit.tga"},
    {TM_ART_EXIT, "art/icon_exit_tl.tga"},
    {TM_ART_EXIT_LIT, "art/icon_exit_lit_tl.tga"},
    {TM_ART_SHOW_MOVES, "art/icon_showmoves_tl.tga"},
    {TM_ART_SHOW_MOVES_LIT, "art/icon_showmoves_lit_tl.tga"},
    {TM_ART_HINT, "art/icon_hint_tl.tga"},
    {TM_ART_HINT_LIT, "art/icon_hint_lit_tl.tga"},
    {TM_ART_FIND_MATCH, "art/icon_findmatch_tl.tga"},
    {TM_ART_FIND_MATCH_LIT, "art/icon_findmatch_lit_tl.tga"},
    {TM_ART_OPTIONS, "art/icon_options_tl.tga"},
    {TM_ART_OPTIONS_LIT, "art/icon_options_lit_tl.tga"},
    {TM_ART_PAUSE_ICON, "art/icon_pause_tl.tga"},
    {TM_ART_PAUSE_ICON_LIT, "art/icon_pause_lit_tl.tga"},
    {TM_ART_RESUME, "art/icon_resume_tl.tga"},
    {TM_ART_RESUME_LIT, "art/icon_resume_lit_tl.tga"},
    {TM_ART_MAKER, "art/icon_velmora_tl.tga"},
    {TM_ART_MAKER_LIT, "art/icon_velmora_lit_tl.tga"},
    {TM_ART_NEW_GAME, "art/icon_newgame_tl.tga"},
    {TM_ART_NEW_GAME_LIT, "art/icon_newgame_lit_tl.tga"},
    {TM_ART_RULES, "art/icon_rules_tl.tga"},
    {TM_ART_RULES_LIT, "art/icon_rules_lit_tl.tga"},
    {TM_ART_SHUFFLE, "art/icon_shuffle_tl.tga"},
    {TM_ART_SHUFFLE_LIT, "art/icon_shuffle_lit_tl.tga"},
    {TM_ART_UNDO, "art/icon_undo_tl.tga"},
    {TM_ART_UNDO_LIT, "art/icon_undo_lit_tl.tga"},
    {TM_ART_TIME_LABEL, "art/icon_score_tl.tga"},
    {TM_ART_TILES_LEFT_LABEL, "art/icon_tiles_left_tl.tga"},
    {TM_ART_MOVES_LABEL, "art/icon_available_tl.tga"},
    {TM_ART_COLON, "art/font_colon.tga"},
    {TM_ART_COMMA, "art/font_comma.tga"},
    {TM_ART_OUTLINE_FREE, "art/outline_green.tga"},
    {TM_ART_OUTLINE_BLOCKED, "art/outline_red.tga"},
};

} // namespace

void Tilmar::m_initArtTable()
{
    for (const NamedSlot &entry : kSingleArt)
        m_artTable[entry.slot].name = entry.name;

    // Series: first slot, count, file name format, number of the first.
    auto nameSeries = [this](int32_t first, int32_t count, const char *format, int32_t (*number)(int32_t)) {
        for (int32_t i = 0; i < count; ++i) {
            char *name = g_seriesNames[first + i];
            formatString(name, kNameSize, format, number(i));
            m_artTable[first + i].name = name;
        }
    };
    auto fromOne = [](int32_t i) { return i + 1; };
    auto fromZero = [](int32_t i) { return i; };
    nameSeries(TM_ART_LAYOUT_PREVIEW, TM_LAYOUT_COUNT, "art/preview_layout_%d.jpg", fromOne);
    nameSeries(TM_ART_LAYOUT_TITLE, TM_LAYOUT_COUNT, "art/title_layout_%d.tga", fromOne);
    nameSeries(TM_ART_TILESET_PREVIEW, TM_TILESET_COUNT, "art/preview_tile_%d.tga", fromOne);
    nameSeries(TM_ART_BACKGROUND_PREVIEW, TM_BACKGROUND_COUNT, "art/preview_background_%d.jpg", backgroundNumber);
    nameSeries(TM_ART_DIGIT_0, 10, "art/font_number_%d.tga", fromZero);
}

VGSprite *Tilmar::getSprite(int32_t index)
{
    if (index < 0 || index >= TM_SPRITE_COUNT) {
        alertBox("getSprite - t out of range, value = %d\n", index);
        return nullptr;
    }
    if (!m_sprites[index].isLoaded()) {
        alertBox("getSprite - sprite %d is not valid\n", index);
        return nullptr;
    }
    return &m_sprites[index];
}

VGSprite *Tilmar::getLoadedSprite(int32_t index)
{
    VGSprite *slot = getSlot(index);
    return slot && slot->isLoaded() ? slot : nullptr;
}

VGSprite *Tilmar::getSlot(int32_t index)
{
    return index >= 0 && index < TM_SPRITE_COUNT ? &m_sprites[index] : nullptr;
}

void Tilmar::m_loadTileSet()
{
    loadOnDemand(m_sprites[TM_ART_TILE_SHEET], m_loadedTileSet, m_settings.tileSet, "art/tileset_%d.tga",
                 m_settings.tileSet + 1, m_pDisplayDevice, m_pResourceFileSystem);
}

void Tilmar::m_loadBackground()
{
    loadOnDemand(m_sprites[TM_ART_BACKGROUND], m_loadedBackground, m_settings.background, "art/arena%d_tl.jpg",
                 backgroundNumber(m_settings.background), m_pDisplayDevice, m_pResourceFileSystem);
}

void Tilmar::m_unloadSprites()
{
    for (int32_t i = TM_SPRITE_COUNT - 1; i >= 0; --i)
        unloadAll(m_sprites[i]);
}

void Tilmar::showMoves()
{
    if (m_showMovesStart.getTime64() != 0 || m_bPaused || m_gameState != TM_STATE_PLAYING)
        return;
    m_showMovesStart = getGameClock();
    m_invalidateScreen();
}

float Tilmar::m_showMovesIntensity(uint32_t t, bool *ended) const
{
    *ended = false;
    float a;
    if (t < kShowMovesFadeInMs) {
        a = 0.002f * static_cast<float>(t);
    } else if (t < kShowMovesFullMs || m_bSpaceHeld) {
        a = 1.0f;
    } else {
        const float f = 0.002f * static_cast<float>(t - kShowMovesFullMs);
        if (f <= 1.0f) {
            a = 1.0f - f;
        } else {
            a = 0.0f;
            *ended = true;
        }
    }
    if (a > 1.0f)
        a = 1.0f;
    return a * kShowMovesFactor[clampInt(m_settings.tileSet, 0, TM_TILESET_COUNT - 1)];
}

float Tilmar::m_hintPulse()
{
    VyTime now;
    getTicks(now);
    const int32_t t = static_cast<int32_t>(now.getLow() - m_hintTime.getLow());
    return (sinDeg(0.5f * static_cast<float>(t)) + 1.0f) * 0.5f;
}

void Tilmar::m_expireHintHighlight()
{
    const bool over = VyTime::diff64(getGameClock(), m_hintTime) > kHintHighlightMs;
    HRect rect;
    for (TMTile *&hint : m_hintTiles) {
        if (!hint)
            continue;
        m_board.getImageRect(hint, &rect);
        m_addDirtyRect(rect);
        if (over)
            hint = nullptr;
    }
}

namespace {

// Marks the full rectangle of every tile still fading dirty and ends the
// fade of those whose time is up, or of all of them.
void s_expireRemoved(TMBoard &board, HPuzzleGame &game, const VyTime &now, bool all)
{
    HRect rect;
    for (TMTile &tile : board.tiles) {
        if (tile.removedAt.getTime64() == 0)
            continue;
        board.getFullRect(&tile, &rect);
        game.m_addDirtyRect(rect);
        if (all || VyTime::diff64(now, tile.removedAt) > kRemovedFadeMs)
            tile.removedAt = VyTime();
    }
}

} // namespace

void Tilmar::m_expireRemovedTiles()
{
    s_expireRemoved(m_board, *this, getGameClock(), false);
}

void Tilmar::m_endRemovedTilesFade()
{
    s_expireRemoved(m_board, *this, getGameClock(), true);
}

void Tilmar::m_expireNoMatch()
{
    const uint64_t now = getLastEventTime();
    const uint64_t start = m_noMatchTime.getTime64();
    if (start > now)
        m_noMatchTime = VyTime();
    if (m_noMatchTime.getTime64() == 0)
        return;
    m_addDirtyRect(m_noMatchRect);
    if (now - start > static_cast<uint64_t>(kNoMatchMs))
        m_noMatchTime = VyTime();
}

void Tilmar::drawRect(const HRect &rect, bool underDialog)
{
    if (m_gameState == TM_STATE_EXITING)
        return;

    if (rect.intersects(m_boardArea)) {
        if (m_bPaused) {
            blitWholeAt(getLoadedSprite(TM_ART_PAUSE), tmscreen::kPausePicture.x, tmscreen::kPausePicture.y,
                        rect);
        } else if (m_gameState == TM_STATE_TITLE) {
            blitWholeAt(getLoadedSprite(TM_ART_TITLE), tmscreen::kTitlePicture.x, tmscreen::kTitlePicture.y,
                        rect);
            // Each preview centred in the board area's width at its own top.
            auto preview = [&](int32_t first, int32_t count, int32_t index, const tmscreen::Point &at) {
                if (index < 0 || index >= count)
                    return;
                VGSprite *sprite = getLoadedSprite(first + index);
                if (sprite)
                    blitWholeAt(sprite, (tmscreen::kPreviewSpan - sprite->getWidth()) / 2 + at.x, at.y, rect);
            };
            preview(TM_ART_BACKGROUND_PREVIEW, TM_BACKGROUND_COUNT, m_settings.background,
                    tmscreen::kBackgroundPreview);
            preview(TM_ART_TILESET_PREVIEW, TM_TILESET_COUNT, m_settings.tileSet, tmscreen::kTileSetPreview);
            preview(TM_ART_LAYOUT_PREVIEW, TM_LAYOUT_COUNT, m_settings.layout, tmscreen::kLayoutPreview);
            preview(TM_ART_LAYOUT_TITLE, TM_LAYOUT_COUNT, m_settings.layout, tmscreen::kLayoutTitle);
        } else {
            blitWholeAt(getLoadedSprite(TM_ART_BACKGROUND), tmscreen::kBackgroundPicture.x,
                        tmscreen::kBackgroundPicture.y, rect);
            if (m_gameState == TM_STATE_PLAYING) {
                drawTiles(m_board, rect, m_hintTiles[0], m_hintTiles[1], m_hintTiles[2], m_hintTiles[3],
                          m_hintPulse(), m_showMovesAlpha);
            } else {
                const int32_t end = m_gameState == TM_STATE_WON ? TM_ART_BOARD_COMPLETE : TM_ART_GAME_OVER;
                blitWholeAt(getLoadedSprite(end), tmscreen::kEndPicture.x, tmscreen::kEndPicture.y, rect);
            }
        }
    }

    blitWholeAt(getLoadedSprite(TM_ART_LEFT_PANEL), 0, 0, rect);

    if (!underDialog && !m_bPaused)
        m_drawHud(rect);
}

void Tilmar::drawTiles(TMBoard &board, const HRect &clip, TMTile *h1, TMTile *h2, TMTile *h3, TMTile *h4,
                       float pulse, float showMovesIntensity)
{
    const VyTime now = getGameClock();
    HRect full;
    for (TMTile *tile : board.drawList) {
        if (!tile)
            continue;
        // Nothing of a tile, its shadows or its outline lies outside this.
        board.getFullRect(tile, &full);
        if (!full.intersects(clip))
            continue;

        if (!tile->present) {
            // A removed tile fades out over its first 500 ms.
            if (tile->removedAt.getTime64() == 0)
                continue;
            const uint64_t d = VyTime::diff64(now, tile->removedAt);
            if (d < kRemovedFadeMs) {
                const float x = 1.0f - 0.002f * static_cast<float>(d);
                m_drawTile(tile, clip, x, x, 1.0f - x);
            }
            continue;
        }

        if (tile->selected) {
            m_drawTile(tile, clip, 0.0f, 1.0f, 0.0f);
            m_drawTile(tile, clip, 1.0f, 1.0f, 1.0f);
        } else if (tile == h1 || tile == h2 || tile == h3 || tile == h4) {
            m_drawTile(tile, clip, 0.0f, 1.0f, 0.0f);
            m_drawTile(tile, clip, 1.0f, pulse, 1.0f);
        } else {
            m_drawTile(tile, clip, 1.0f, 1.0f, 0.0f);
            if (showMovesIntensity > 0.0f && board.isFree(tile))
                m_drawTile(tile, clip, 0.0f, 1.0f, showMovesIntensity);
        }
        if (tile == board.hovered)
            m_drawHoverOutline(tile, clip, board.isFree(tile));
    }
}

void Tilmar::m_drawTile(const TMTile *tile, const HRect &clip, float shadowOpacity, float faceOpacity,
                        float faceAdd)
{
    HRect rect;
    m_board.getFullRect(tile, &rect);
    if (!rect.intersects(clip))
        return;

    if (VGSprite *sheet = getLoadedSprite(TM_ART_TILE_SHEET)) {
        m_board.getImageRect(tile, &rect);
        const int32_t col = tile->image % TM_SHEET_COLUMNS;
        const int32_t row = tile->image / TM_SHEET_COLUMNS;
        const int32_t x0 = TM_TILE_IMAGE_WIDTH * col;
        const int32_t y0 = TM_TILE_IMAGE_HEIGHT * row;
        const HRect cell(x0, y0, x0 + TM_TILE_IMAGE_WIDTH, y0 + TM_TILE_IMAGE_HEIGHT);
        HRect d, s;
        if (clipPair(clip, rect, cell, d, s)) {
            if (faceOpacity == 1.0f && faceAdd == 0.0f)
                sheet->blit(d, s);
            else
                blendWith(sheet, d, s, tileBlend(blendConstant(faceOpacity), blendConstant(faceAdd)));
        }
    }

    if (shadowOpacity > 0.0f) {
        m_drawShadowTop(tile, clip, shadowOpacity);
        m_drawShadowRight(tile, clip, shadowOpacity);
    }
}

namespace {

// The present tile at (x + dx, y + dy) of the tile's layer; null also when
// that position lies outside the 32-bit grid.
const TMTile *neighbour(const TMBoard &board, const TMTile *tile, int32_t dx, int32_t dy)
{
    const int64_t x = static_cast<int64_t>(tile->x) + dx;
    const int64_t y = static_cast<int64_t>(tile->y) + dy;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX)
        return nullptr;
    return board.tileAt(static_cast<int32_t>(x), static_cast<int32_t>(y), tile->z, true);
}

struct Offset
{
    int32_t dx, dy;
};

// The neighbours whose faces can lie over each shadow strip.
const Offset kTopShadowCutters[] = {{-1, -2}, {0, -2}, {1, -2}, {2, -2}, {2, -1}};
const Offset kRightShadowCutters[] = {{1, -2}, {2, -2}, {2, -1}, {2, 0}, {2, 1}};

// Cuts a shadow strip against the faces of the present neighbours at the
// cutters' offsets (along x for the top strip, y for the right one) and
// draws what is left at the shadow's opacity.
void drawShadowStrip(const TMBoard &board, const TMTile *tile, VGSprite *shadow, HRect strip,
                     const Offset (&cutters)[5], bool alongX, const HRect &clip, float opacity)
{
    HRect src(0, 0, strip.x1 - strip.x0, strip.y1 - strip.y0);
    HRect n;
    for (const Offset &o : cutters)
        if (const TMTile *other = neighbour(board, tile, o.dx, o.dy)) {
            board.getFaceRect(other, &n);
            if (alongX)
                cutStrip(strip.x0, strip.x1, src.x0, src.x1, n.x0, n.x1);
            else
                cutStrip(strip.y0, strip.y1, src.y0, src.y1, n.y0, n.y1);
        }
    const bool anythingLeft = alongX ? strip.x0 < strip.x1 : strip.y0 < strip.y1;
    HRect d, s;
    if (anythingLeft && clipPair(clip, strip, src, d, s))
        blendWith(shadow, d, s, fadeBlend(blendConstant(opacity)));
}

} // namespace

void Tilmar::m_drawShadowTop(const TMTile *tile, const HRect &clip, float opacity)
{
    VGSprite *shadow = getLoadedSprite(TM_ART_SHADOW_TOP);
    if (!shadow || neighbour(m_board, tile, 0, -2))
        return;
    HRect face;
    m_board.getFaceRect(tile, &face);
    const HRect strip(face.x0, face.y0 - shadow->getHeight(), face.x0 + shadow->getWidth(), face.y0);
    drawShadowStrip(m_board, tile, shadow, strip, kTopShadowCutters, true, clip, opacity);
}

void Tilmar::m_drawShadowRight(const TMTile *tile, const HRect &clip, float opacity)
{
    VGSprite *shadow = getLoadedSprite(TM_ART_SHADOW_RIGHT);
    if (!shadow || neighbour(m_board, tile, 2, 0))
        return;
    // The strip starts level with the top shadow's first row.
    VGSprite *top = getLoadedSprite(TM_ART_SHADOW_TOP);
    HRect face;
    m_board.getFaceRect(tile, &face);
    const int32_t y0 = face.y0 + 1 - (top ? top->getHeight() : 0);
    const HRect strip(face.x1, y0, face.x1 + shadow->getWidth(), y0 + shadow->getHeight());
    drawShadowStrip(m_board, tile, shadow, strip, kRightShadowCutters, false, clip, opacity);
}

void Tilmar::m_drawHoverOutline(const TMTile *tile, const HRect &clip, bool free)
{
    VGSprite *outline = getLoadedSprite(free ? TM_ART_OUTLINE_FREE : TM_ART_OUTLINE_BLOCKED);
    if (!outline)
        return;
    HRect face;
    m_board.getFaceRect(tile, &face);
    HRect d, s;
    // The outline pictures cover a tile's face.
    if (clipPair(clip, face, HRect(0, 0, TM_TILE_FACE_WIDTH, TM_TILE_FACE_HEIGHT), d, s))
        outline->blendBlitStandard(d, s);
}

void Tilmar::s_blitClippedAlpha(const HRect &clip, const HRect &dest, VGSprite *sprite, float opacity)
{
    if (!sprite || !dest.intersects(clip))
        return;
    HRect d, s;
    if (!clipPair(clip, dest, sprite->getRect(), d, s) || opacity <= 0.0f)
        return;
    blendWith(sprite, d, s, fadeBlend(blendConstant(opacity)));
}

void Tilmar::m_drawHud(const HRect &clip)
{
    if (m_gameState != TM_STATE_PLAYING && m_gameState != TM_STATE_WON && m_gameState != TM_STATE_LOST)
        return;
    char text[128];
    if (clip.intersects(m_tilesLeftArea)) {
        formatString(text, sizeof text, "%d", m_board.tilesLeft);
        m_drawNumberString(text, tmscreen::kTilesLeftText.x, tmscreen::kTilesLeftText.y, true, clip);
    }
    if (clip.intersects(m_movesArea)) {
        formatString(text, sizeof text, "%d", m_board.movesAvailable);
        m_drawNumberString(text, tmscreen::kMovesText.x, tmscreen::kMovesText.y, true, clip);
    }
    const int32_t seconds = m_gameState == TM_STATE_PLAYING
                                ? static_cast<int32_t>(getElapsedSeconds()) + m_penaltySeconds
                                : m_statistics.finalTime;
    if (clip.intersects(m_timeArea)) {
        formatString(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
        m_drawNumberString(text, tmscreen::kTimeText.x, tmscreen::kTimeText.y, false, clip);
    }
    if (!isPaused())
        m_drawNoMatch(clip);
}

void Tilmar::m_drawNumberString(const char *text, int32_t x, int32_t y, bool commas, const HRect &clip)
{
    VGSprite *digit0 = getLoadedSprite(TM_ART_DIGIT_0);
    if (!text || !digit0)
        return;
    int32_t w = digit0->getWidth();
    const int32_t h = digit0->getHeight();
    int32_t pen = x;
    int32_t count = 0;
    bool commaPending = false;
    // Right to left, so that the commas fall every three digits from the end.
    for (int32_t position = static_cast<int32_t>(std::strlen(text)) - 1; position >= 0;) {
        VGSprite *glyph;
        int32_t step;
        int32_t top = y;
        if (commaPending && commas) {
            glyph = m_getGlyphSprite(',');
            commaPending = false;
            if (glyph)
                w = glyph->getWidth();
            step = 3 * w / 4;
            top = y + 3;
        } else {
            glyph = m_getGlyphSprite(text[position]);
            ++count;
            --position;
            if (glyph)
                w = glyph->getWidth();
            step = w;
            if (count % 3 == 0) {
                commaPending = true;
                step = 3 * w / 4 + 1;
            }
        }
        HRect d, s;
        if (glyph && clipPair(clip, HRect(pen, top, pen + w, top + h), glyph->getRect(), d, s))
            glyph->blendBlitStandard(d, s);
        pen -= step;
    }
}

VGSprite *Tilmar::m_getGlyphSprite(char c)
{
    int32_t slot;
    if (c >= '0' && c <= '9')
        slot = TM_ART_DIGIT_0 + (c - '0');
    else if (c == ':')
        slot = TM_ART_COLON;
    else if (c == ',')
        slot = TM_ART_COMMA;
    else
        return nullptr;
    return getLoadedSprite(slot);
}

void Tilmar::m_drawNoMatch(const HRect &clip)
{
    const uint64_t start = m_noMatchTime.getTime64();
    const int64_t d = static_cast<int64_t>(getLastEventTime() - start);
    if (start == 0 || d < 0)
        return;
    const float opacity =
        d <= kNoMatchFullMs ? 1.0f : 1.0f - static_cast<float>(d - kNoMatchFadeStartMs) * kNoMatchFadePerMs;
    s_blitClippedAlpha(clip, m_noMatchRect, getLoadedSprite(TM_ART_NO_MATCH), opacity);
}
