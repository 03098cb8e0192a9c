// Placeholder bodies; the drawing of the game is written next.
#include "game/Tilmar.h"

void Tilmar::m_initArtTable() {}
VGSprite *Tilmar::getSprite(int32_t index)
{
    return getSlot(index);
}
VGSprite *Tilmar::getSlot(int32_t index)
{
    return index >= 0 && index < TM_SPRITE_COUNT ? &m_sprites[index] : nullptr;
}
void Tilmar::m_loadTileSet() {}
void Tilmar::m_loadBackground() {}
void Tilmar::m_unloadSprites()
{
    for (int32_t i = TM_SPRITE_COUNT - 1; i >= 0; --i)
        while (m_sprites[i].isLoaded())
            m_sprites[i].unload();
}
void Tilmar::showMoves() {}
void Tilmar::m_expireHintHighlight() {}
void Tilmar::m_expireNoMatch() {}
void Tilmar::m_expireRemovedTiles() {}
void Tilmar::drawRect(const HRect &, bool) {}
void Tilmar::drawTiles(TMBoard &, const HRect &, TMTile *, TMTile *, TMTile *, TMTile *, float, float) {}
void Tilmar::m_drawTile(const TMTile *, const HRect &, float, float, float) {}
void Tilmar::m_drawShadowTop(const TMTile *, const HRect &, float) {}
void Tilmar::m_drawShadowRight(const TMTile *, const HRect &, float) {}
void Tilmar::m_drawHoverOutline(const TMTile *, const HRect &, bool) {}
void Tilmar::s_blitClippedAlpha(const HRect &, const HRect &, VGSprite *, float) {}
void Tilmar::m_drawHud(const HRect &) {}
void Tilmar::m_drawNumberString(const char *, int32_t, int32_t, bool, const HRect &) {}
VGSprite *Tilmar::m_getGlyphSprite(char)
{
    return nullptr;
}
void Tilmar::m_drawNoMatch(const HRect &) {}
float Tilmar::m_hintPulse()
{
    return 0.0f;
}
float Tilmar::m_showMovesIntensity(uint32_t, bool *ended) const
{
    *ended = true;
    return 0.0f;
}
