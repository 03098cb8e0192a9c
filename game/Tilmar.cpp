// The game object's life: construction, start-up in its nine steps, the
// devices, the full-screen switch, the partner link and the rules.
#include "game/Tilmar.h"

#include <cstring>

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/core/HUnixPlatform.h"
#include "engine/media/H2DDisplayDevice.h"
#include "game/TMScreenLayout.h"

namespace {

HRect toRect(const tmscreen::Box &box)
{
    return HRect(box.x0, box.y0, box.x1, box.y1);
}

// The sounds loaded behind the loading screen, in this order; the game-over
// and splash sounds load when first played.
const char *const kPreloadSounds[] = {
    "sound/tm_guiclick.wav", "sound/tm_click.wav", "sound/tm_unclick.wav", "sound/tm_match.ogg",
    "sound/tm_blocked.ogg",  "sound/tm_youwin.ogg", "sound/tm_hint.ogg",   nullptr};

const char *const kRulesPages[] = {"art/rules_0_tl.jpg", "art/rules_1_tl.jpg"};

// The devices as start-up makes them, and again after a full-screen switch
// that needed a restart: the window, input, and 16-bit stereo sound.
bool s_createDevices(Tilmar &game, bool fullscreen)
{
    return game.m_createDevices(kTilmarCaption, true, fullscreen, 1, tmscreen::kScreenWidth, tmscreen::kScreenHeight,
                                2, 16, 22050);
}

// The game's bitmap font: the glyph sheet of slot 0 in 8 x 12 cells. A font
// without its sheet draws nothing.
HBitmapFont *s_createFont(H2DDisplayDevice *display, VGSprite *sheet)
{
    return display->createFont(sheet, tmscreen::kFontCellWidth, tmscreen::kFontCellHeight);
}

} // namespace

Tilmar::Tilmar()
    : m_gameState(TM_STATE_TITLE), m_bDeveloperMode(false), m_bSpaceHeld(false), m_statistics(),
      m_penaltySeconds(0), m_showMovesAlpha(0.0f), m_hintTiles(), m_loadedTileSet(-1), m_loadedBackground(-1),
      m_lastEntryLayout(-1), m_lastEntryRank(-1), m_pShowMovesControl(nullptr), m_pUndoControl(nullptr),
      m_pShuffleControl(nullptr), m_pRestartControl(nullptr), m_boardArea(toRect(tmscreen::kBoardArea)),
      m_tilesLeftArea(toRect(tmscreen::kTilesLeftArea)), m_movesArea(toRect(tmscreen::kMovesArea)),
      m_timeArea(toRect(tmscreen::kTimeArea)), m_noMatchRect(), m_developerProgress(0), m_lastPointerX(0),
      m_lastPointerY(0), m_lastClockSeconds(0)
{
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        resetBestTimes(layout);
    for (int32_t i = 0; i < TM_SPRITE_COUNT; ++i) {
        m_artTable[i].sprite = &m_sprites[i];
        m_artTable[i].name = nullptr;
    }
    m_initArtTable();
}

Tilmar::~Tilmar()
{
    // Unload from the last slot to the first; the display is gone by now in
    // a normal exit, so this only matters for an object that never ran.
    m_unloadSprites();
}

float Tilmar::getMusicVolumeSetting()
{
    return m_settings.musicVolume;
}

float Tilmar::getSoundVolumeSetting()
{
    return m_settings.soundVolume;
}

const char *Tilmar::getTitle()
{
    return "Tilmar MahJong";
}

bool Tilmar::isAnimating()
{
    return false;
}

VGSprite *Tilmar::getCursorSprite()
{
    return nullptr;
}

void Tilmar::setActive(bool active)
{
    if (!active) {
        setPaused(true);
        // The release of space may come while the window has no focus,
        // where the game never sees it.
        m_bSpaceHeld = false;
    }
    HPuzzleGame::setActive(active);
}

void Tilmar::onModalDialogEnded()
{
    // The dialog took the release of space, if it came; a space still down
    // holds the lit tiles again at its next repeat.
    m_bSpaceHeld = false;
}

VyTime Tilmar::getGameClock() const
{
    return VyTime::fromTime64(getLastEventTime());
}

bool Tilmar::initialize(const char *commandLine, const char *resourceDirectory)
{
    setResourceDirectory(resourceDirectory);
    m_cvarManager.registerVariable("companyName", "Velmora", 0);
    m_cvarManager.registerVariable("productName", "Tilmar", 0);
    if (!HPuzzleGame::initialize(commandLine, resourceDirectory))
        return false;

    char archiveName[256];
    strCopy(archiveName, kTilmarArchiveName, sizeof archiveName);
    char path[1024];
    formatString(path, sizeof path, "%s%s", resourceDirectory ? resourceDirectory : "", archiveName);
    if (!m_openResourceFile(path, true))
        return false;

    loadSettings();
    // Every start of the music takes the framework's volume, a resume on the
    // title screen before any game too, so the stored one is in force now.
    setMusicVolume(m_settings.musicVolume);

    if (!s_createDevices(*this, m_settings.fullscreen != 0))
        return false;

    tracePrint("...done initializing subsystems\n");
    m_soundManager.playSound(nullptr, "sound/tm_splash.ogg", 0, 192, 0, false);

    tracePrint("...loading assets\n");
    const bool loaded = m_loadArt();
    // Taken through getSprite, whose alert reports a font picture that did
    // not load.
    m_pFont = s_createFont(m_pDisplayDevice, getSprite(TM_ART_FONT));
    loadBestTimes();
    if (!loaded)
        return false;

    createControls();
    returnToTitle(false);
    return true;
}

void Tilmar::m_destroyDevices()
{
    if (m_pFont && m_pDisplayDevice)
        m_pDisplayDevice->destroyFont(m_pFont);
    // A destroyed font must not be drawn with or destroyed again.
    m_pFont = nullptr;
    debugPrint("...unloading graphics\n");
    m_unloadSprites();
    HPuzzleGame::m_destroyDevices();
}

bool Tilmar::m_loadArt()
{
    if (!m_pDisplayDevice)
        return false;
    const bool loaded = loadResources(m_artTable, TM_SPRITE_COUNT, "music/theme_tl.ogg", 0, kPreloadSounds,
                                      "art/loading_tl.jpg", nullptr, nullptr, "art/progress_tl.tga",
                                      tmscreen::kProgressBar.x, tmscreen::kProgressBar.y, 1.0f, nullptr,
                                      nullptr);
    if (loaded && m_sprites[TM_ART_SHADOW_TOP].isLoaded() && m_sprites[TM_ART_SHADOW_RIGHT].isLoaded())
        m_board.setShadowSizes(m_sprites[TM_ART_SHADOW_TOP].getHeight(), m_sprites[TM_ART_SHADOW_RIGHT].getWidth());
    return loaded;
}

void Tilmar::toggleFullscreen()
{
    m_settings.fullscreen = m_settings.fullscreen ? 0 : 1;
    saveSettings();
    m_invalidateScreen();

    if (!toggleDisplayFullscreen()) {
        m_destroyDevices();
        if (!s_createDevices(*this, m_settings.fullscreen != 0))
            alertBox("toggleFullscreen - could not restart subsystems!");
        if (m_pDisplayDevice && m_pInputDevice) {
            m_loadArt();
            m_pFont = s_createFont(m_pDisplayDevice, &m_sprites[TM_ART_FONT]);
            m_loadTileSet();
            m_loadBackground();
            setMusicVolume(m_settings.musicVolume);
            playThemeMusic(true);
        } else {
            // Nothing can be loaded or shown without both devices: the game
            // ends the orderly way, at the next update.
            m_gameState = TM_STATE_EXITING;
        }
    }
    m_resendCursorPosition();
}

void Tilmar::visitPartner()
{
    if (m_settings.fullscreen)
        toggleFullscreen();
    openPartnerURL(kVelmoraWebAddress, "Velmora", "Tilmar");
}

void Tilmar::showRules()
{
    m_beginPause();
    showSlideShowDialog(tmscreen::kRulesDialog.x, tmscreen::kRulesDialog.y, "art/rules_close_tl.tga",
                        "art/rules_close_lit_tl.tga", "art/rules_next_tl.tga", "art/rules_next_lit_tl.tga",
                        "art/rules_prev_tl.tga", "art/rules_prev_lit_tl.tga", kRulesPages, 2);
    playClickSound();
    m_endPause();
}

void Tilmar::playClickSound()
{
    playSound("sound/tm_guiclick.wav", 128, 0, false);
}

bool Tilmar::m_askAreYouSure()
{
    m_beginPause();
    const int32_t answer = showMessageDialog(tmscreen::kRestartConfirmX, -1, 0, "art/restart_areyousure.jpg",
                                             "art/besttimes_areyousure_yes.tga",
                                             "art/besttimes_areyousure_yes_lit.tga",
                                             "art/besttimes_areyousure_no.tga",
                                             "art/besttimes_areyousure_no_lit.tga");
    m_endPause();
    return answer != 0;
}
