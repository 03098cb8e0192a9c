// The are-you-sure, no-more-moves and options dialogs with their runners.
// Each runner pauses the game clock around its dialog, builds the dialog on
// its own stack and unloads whatever pictures it loaded afterwards.
#include "game/TMDialogs.h"

#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
#include "game/TMScreenLayout.h"
#include "game/Tilmar.h"

namespace {

Tilmar *s_game()
{
    return getTilmar();
}

void s_playClick()
{
    if (Tilmar *game = s_game())
        game->playClickSound();
}

void s_loadAll(const HSpriteLoadItem *items, int32_t count, H2DDisplayDevice *display, HFileSystem *fileSystem)
{
    for (int32_t i = 0; i < count; ++i)
        items[i].sprite->load(display, fileSystem, items[i].name);
}

void s_unloadAll(const HSpriteLoadItem *items, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        items[i].sprite->unload();
}

// Runs a runner's dialog in the game, then unloads its pictures and ends
// its chain.
const VGDialogItem *s_runModal(Tilmar &game, VGDialog &dialog, const HSpriteLoadItem *images, int32_t count,
                               void *userData)
{
    const VGDialogItem *result =
        dialog.doModal(&game, game.getDisplayDevice(), &game.getEventQueue(), 0, userData);
    s_unloadAll(images, count);
    dialog.removeAllItems();
    return result;
}

// A button with its normal and highlighted pictures at a place in its dialog.
void s_placeButton(VGDialogItemButton &button, VGSprite &normal, VGSprite &highlighted, int32_t x, int32_t y)
{
    button.setImages(&normal, &highlighted, nullptr);
    button.setPosition(x, y);
}

// Runs the base slider and hands a value the drag changed to apply.
template <typename Apply>
bool s_dragSlider(VGDialogItemSlider &slider, const HEvent &event, Apply apply)
{
    const float before = slider.getValue();
    const bool taken = slider.VGDialogItemSlider::handleEvent(event);
    if (slider.getValue() != before)
        apply(slider.getValue());
    return taken;
}

} // namespace

// ---------------------------------------------------------------------------
// Are you sure

TMAreYouSureDialog::~TMAreYouSureDialog()
{
}

bool TMAreYouSureDialog::onItemActivated(VGDialogItem *)
{
    s_playClick();
    return true;
}

bool Tilmar::confirm(const char *background, const char *ok, const char *okLit, const char *cancel,
                     const char *cancelLit)
{
    m_beginPause();
    VGSprite backgroundImage, okImage, okLitImage, cancelImage, cancelLitImage;
    const HSpriteLoadItem images[] = {{&backgroundImage, background},
                                      {&okImage, ok},
                                      {&okLitImage, okLit},
                                      {&cancelImage, cancel},
                                      {&cancelLitImage, cancelLit}};
    const int32_t imageCount = sizeof images / sizeof images[0];
    s_loadAll(images, imageCount, m_pDisplayDevice, m_pResourceFileSystem);

    TMAreYouSureDialog dialog;
    VGDialogItemButton okButton, cancelButton;
    const int32_t width = backgroundImage.getWidth();
    const int32_t height = backgroundImage.getHeight();
    dialog.setBackground(&backgroundImage);
    dialog.setPosition((tmscreen::kScreenWidth - width) / 2 + tmscreen::kConfirmOffset.x,
                       (tmscreen::kScreenHeight - height) / 2 + tmscreen::kConfirmOffset.y);

    const int32_t rowY = height - (3 * okImage.getHeight()) / 2;
    okButton.setName("Are you sure, ok");
    s_placeButton(okButton, okImage, okLitImage, (width - okImage.getWidth()) / 4, rowY);
    cancelButton.setName("Are you sure, cancel");
    s_placeButton(cancelButton, cancelImage, cancelLitImage, (3 * (width - cancelImage.getWidth())) / 4, rowY);
    dialog.addItem(&okButton);
    dialog.addItem(&cancelButton);
    // Enter cancels.
    dialog.setDefaultItem(&cancelButton);

    const VGDialogItem *result = s_runModal(*this, dialog, images, imageCount, this);
    m_endPause();
    return result == &okButton;
}

// ---------------------------------------------------------------------------
// No more moves

TMGameOverDialog::~TMGameOverDialog()
{
}

bool TMGameOverDialog::onItemActivated(VGDialogItem *item)
{
    Tilmar *game = s_game();
    if (item == m_pEndGame)
        s_playClick();
    else if (item == m_pShuffle && game)
        game->shuffle();
    else if (item == m_pUndo && game)
        game->undo();
    return true;
}

bool Tilmar::showNoMoreMoves()
{
    m_beginPause();
    // With a single free tile a shuffle could not make a pair.
    const bool offerShuffle = m_board.countFreeTiles() != 1;

    VGSprite background, shuffleImage, shuffleLit, undoImage, undoLit, endImage, endLit;
    const HSpriteLoadItem images[] = {{&background, "art/no_more_moves.jpg"},
                                      {&shuffleImage, "art/no_more_moves_shuffle.tga"},
                                      {&shuffleLit, "art/no_more_moves_shuffle_lit.tga"},
                                      {&undoImage, "art/no_more_moves_undo.tga"},
                                      {&undoLit, "art/no_more_moves_undo_lit.tga"},
                                      {&endImage, "art/no_more_moves_endgame.tga"},
                                      {&endLit, "art/no_more_moves_endgame_lit.tga"}};
    const int32_t imageCount = sizeof images / sizeof images[0];
    s_loadAll(images, imageCount, m_pDisplayDevice, m_pResourceFileSystem);

    TMGameOverDialog dialog;
    VGDialogItemButton shuffleButton, undoButton, endGameButton;
    const int32_t width = background.getWidth();
    s_placeButton(shuffleButton, shuffleImage, shuffleLit, (width - shuffleImage.getWidth()) / 2,
                  tmscreen::kNoMoreMovesShuffleY);
    s_placeButton(undoButton, undoImage, undoLit,
                  (width - undoImage.getWidth()) / 2 + tmscreen::kNoMoreMovesUndoShift, tmscreen::kNoMoreMovesUndoY);
    s_placeButton(endGameButton, endImage, endLit, (width - endImage.getWidth()) / 2,
                  tmscreen::kNoMoreMovesEndGameY);
    dialog.setButtons(offerShuffle ? &shuffleButton : nullptr, &undoButton, &endGameButton);

    dialog.setPosition((tmscreen::kScreenWidth - width) / 2 + tmscreen::kNoMoreMovesOffset.x,
                       (tmscreen::kScreenHeight - background.getHeight()) / 2 + tmscreen::kNoMoreMovesOffset.y);
    // The first button added is the default.
    if (offerShuffle)
        dialog.addItem(&shuffleButton);
    dialog.addItem(&undoButton);
    dialog.addItem(&endGameButton);
    dialog.setBackground(&background);

    const VGDialogItem *result = s_runModal(*this, dialog, images, imageCount, nullptr);
    m_endPause();
    return result == &endGameButton;
}

// ---------------------------------------------------------------------------
// Volume sliders

TMSoundSlider::~TMSoundSlider()
{
}

bool TMSoundSlider::handleEvent(const HEvent &event)
{
    // Later sound effects take the new volume; nothing plays now.
    return s_dragSlider(*this, event, [this](float value) {
        if (m_pSettings)
            m_pSettings->soundVolume = value;
    });
}

TMMusicSlider::~TMMusicSlider()
{
}

bool TMMusicSlider::handleEvent(const HEvent &event)
{
    // The music follows the knob while it moves.
    return s_dragSlider(*this, event, [this](float value) {
        if (m_pSettings)
            m_pSettings->musicVolume = value;
        if (g_pCurrentGame)
            g_pCurrentGame->setMusicVolume(value);
    });
}

// ---------------------------------------------------------------------------
// Options

TMOptionsDialog::TMOptionsDialog() : m_pSettings(nullptr)
{
}

TMOptionsDialog::~TMOptionsDialog()
{
}

void TMOptionsDialog::m_listImages(HSpriteLoadItem (&list)[kImageCount])
{
    const HSpriteLoadItem items[kImageCount] = {{&m_knob, "art/options_slider_tab_tl.tga"},
                                                {&m_okImage, "art/options_done_tl.tga"},
                                                {&m_okLit, "art/options_done_lit_tl.tga"},
                                                {&m_bestTimesImage, "art/options_besttimes_tl.tga"},
                                                {&m_bestTimesLit, "art/options_besttimes_lit_tl.tga"},
                                                {&m_visitImage, "art/options_visit_tl.tga"},
                                                {&m_visitLit, "art/options_visit_lit_tl.tga"},
                                                {&m_on, "art/options_on_tl.tga"},
                                                {&m_onLit, "art/options_on_lit_tl.tga"},
                                                {&m_off, "art/options_off_tl.tga"},
                                                {&m_offLit, "art/options_off_lit_tl.tga"},
                                                {&m_background, "art/options_tl.jpg"}};
    for (int32_t i = 0; i < kImageCount; ++i)
        list[i] = items[i];
}

bool TMOptionsDialog::setUp(H2DDisplayDevice *display, HFileSystem *fileSystem, TMSettings *settings)
{
    m_pSettings = settings;
    HSpriteLoadItem images[kImageCount];
    m_listImages(images);
    s_loadAll(images, kImageCount, display, fileSystem);
    setBackground(&m_background);

    m_ok.setName("Ok Button");
    s_placeButton(m_ok, m_okImage, m_okLit, tmscreen::kOptionsOk.x, tmscreen::kOptionsOk.y);
    m_bestTimes.setName("Best Times");
    s_placeButton(m_bestTimes, m_bestTimesImage, m_bestTimesLit, tmscreen::kOptionsBestTimes.x,
                  tmscreen::kOptionsBestTimes.y);
    m_visit.setName("Visit Partner");
    s_placeButton(m_visit, m_visitImage, m_visitLit, tmscreen::kOptionsVisit.x, tmscreen::kOptionsVisit.y);

    m_soundSlider.setName("Sound Slider");
    m_soundSlider.setSettings(settings);
    m_soundSlider.setKnobImage(&m_knob);
    m_soundSlider.setTrack(false, tmscreen::kOptionsSliderTrack);
    m_soundSlider.setValue(settings ? settings->soundVolume : 0.0f);
    m_soundSlider.setPosition(tmscreen::kOptionsSoundSlider.x, tmscreen::kOptionsSoundSlider.y);
    m_musicSlider.setName("Music Slider");
    m_musicSlider.setSettings(settings);
    m_musicSlider.setKnobImage(&m_knob);
    m_musicSlider.setTrack(false, tmscreen::kOptionsSliderTrack);
    m_musicSlider.setValue(settings ? settings->musicVolume : 0.0f);
    m_musicSlider.setPosition(tmscreen::kOptionsMusicSlider.x, tmscreen::kOptionsMusicSlider.y);

    m_fullscreen.setName("Fullscreen Button");
    m_showToggle(m_fullscreen, settings ? settings->fullscreen : 0);
    m_fullscreen.setPosition(tmscreen::kOptionsFullscreen.x, tmscreen::kOptionsFullscreen.y);
    m_autoHints.setName("autoHints Button");
    m_showToggle(m_autoHints, settings ? settings->autoHint : 0);
    m_autoHints.setPosition(tmscreen::kOptionsAutoHints.x, tmscreen::kOptionsAutoHints.y);

    // Right of the left panel; the first item, best times, is the default.
    setPosition(tmscreen::kOptionsDialog.x, tmscreen::kOptionsDialog.y);
    addItem(&m_bestTimes);
    addItem(&m_soundSlider);
    addItem(&m_musicSlider);
    addItem(&m_fullscreen);
    addItem(&m_visit);
    addItem(&m_autoHints);
    addItem(&m_ok);
    return true;
}

void TMOptionsDialog::unloadSprites()
{
    HSpriteLoadItem images[kImageCount];
    m_listImages(images);
    s_unloadAll(images, kImageCount);
}

void TMOptionsDialog::m_showToggle(VGDialogItemButton &toggle, int32_t on)
{
    if (on)
        toggle.setImages(&m_on, &m_onLit, nullptr);
    else
        toggle.setImages(&m_off, &m_offLit, nullptr);
}

bool TMOptionsDialog::onItemActivated(VGDialogItem *item)
{
    Tilmar *game = s_game();
    if (item == &m_ok) {
        s_playClick();
        return true;
    }
    if (item == &m_visit)
        return true;
    if (item == &m_bestTimes) {
        if (game && m_pSettings)
            game->showBestTimes(m_pSettings->layout);
        return false;
    }
    if (!m_pSettings)
        return false;
    if (item == &m_fullscreen) {
        // The switch itself waits until the dialog has closed.
        m_pSettings->fullscreen = m_pSettings->fullscreen ? 0 : 1;
        m_showToggle(m_fullscreen, m_pSettings->fullscreen);
    } else if (item == &m_autoHints) {
        m_pSettings->autoHint = m_pSettings->autoHint ? 0 : 1;
        // The wait for an automatic hint starts afresh.
        if (game)
            game->setLastProgressTime(game->getGameClock());
        m_showToggle(m_autoHints, m_pSettings->autoHint);
    }
    // The sliders (a press on a knob) and the toggles keep the dialog open.
    return false;
}

void Tilmar::showOptions()
{
    m_beginPause();
    const int32_t fullscreenBefore = m_settings.fullscreen;

    TMOptionsDialog dialog;
    dialog.setUp(m_pDisplayDevice, m_pResourceFileSystem, &m_settings);
    const VGDialogItem *result = dialog.doModal(this, m_pDisplayDevice, &m_eventQueue, 0, this);
    // The browser launch ends the program, so the dialog's changes are saved
    // first. A full-screen choice made in the dialog has not been carried out
    // yet: the settings keep the mode the display is really in, and the link
    // leaves (and saves) only a real full screen.
    if (result == &dialog.getVisitButton()) {
        m_settings.fullscreen = fullscreenBefore;
        saveSettings();
        visitPartner();
    }

    dialog.unloadSprites();
    dialog.removeAllItems();

    if ((m_settings.fullscreen != 0) != (fullscreenBefore != 0)) {
        // Back to the old value: the main loop's toggleFullscreen flips it
        // again as it switches the display, and saves it.
        m_settings.fullscreen = m_settings.fullscreen ? 0 : 1;
        HEvent toggle;
        toggle.type = ET_TOGGLE_FULLSCREEN;
        m_eventQueue.postEvent(toggle);
    }
    saveSettings();
    m_endPause();
}
