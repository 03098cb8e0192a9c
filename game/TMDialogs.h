// The game's are-you-sure, no-more-moves and options dialogs. Each lives on
// the stack of the game operation that runs it (Tilmar::confirm,
// Tilmar::showNoMoreMoves, Tilmar::showOptions).
#ifndef GAME_TMDIALOGS_H
#define GAME_TMDIALOGS_H

#include "framework/HPuzzleGame.h"
#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"
#include "game/TMRecords.h"

class H2DDisplayDevice;
class HFileSystem;

class TMAreYouSureDialog : public VGDialog
{
public:
    TMAreYouSureDialog() {}
    ~TMAreYouSureDialog() override;
    // Either button closes the dialog with the click sound.
    bool onItemActivated(VGDialogItem *item) override;
};

class TMGameOverDialog : public VGDialog
{
public:
    TMGameOverDialog() : m_pShuffle(nullptr), m_pUndo(nullptr), m_pEndGame(nullptr) {}
    ~TMGameOverDialog() override;
    // Shuffle and undo are carried out while the dialog is open; every
    // button closes it.
    bool onItemActivated(VGDialogItem *item) override;

    void setButtons(VGDialogItem *shuffle, VGDialogItem *undo, VGDialogItem *endGame)
    {
        m_pShuffle = shuffle;
        m_pUndo = undo;
        m_pEndGame = endGame;
    }

private:
    // Which runner-owned button is which.
    VGDialogItem *m_pShuffle;
    VGDialogItem *m_pUndo;
    VGDialogItem *m_pEndGame;
};

// Copies its value into the sound volume setting as the knob moves.
class TMSoundSlider : public VGDialogItemSlider
{
public:
    TMSoundSlider() : m_pSettings(nullptr) {}
    ~TMSoundSlider() override;
    bool handleEvent(const HEvent &event) override;
    void setSettings(TMSettings *settings) { m_pSettings = settings; }

private:
    TMSettings *m_pSettings;
};

// Copies its value into the music volume setting and the mixer as the knob
// moves.
class TMMusicSlider : public VGDialogItemSlider
{
public:
    TMMusicSlider() : m_pSettings(nullptr) {}
    ~TMMusicSlider() override;
    bool handleEvent(const HEvent &event) override;
    void setSettings(TMSettings *settings) { m_pSettings = settings; }

private:
    TMSettings *m_pSettings;
};

class TMOptionsDialog : public VGDialog
{
public:
    TMOptionsDialog();
    ~TMOptionsDialog() override;
    bool onItemActivated(VGDialogItem *item) override;

    bool setUp(H2DDisplayDevice *display, HFileSystem *fileSystem, TMSettings *settings);
    // Unloads every sprite setUp loaded.
    void unloadSprites();

    VGDialogItemButton &getOkButton() { return m_ok; }
    VGDialogItemButton &getBestTimesButton() { return m_bestTimes; }
    VGDialogItemButton &getVisitButton() { return m_visit; }
    VGDialogItemButton &getFullscreenButton() { return m_fullscreen; }
    VGDialogItemButton &getAutoHintsButton() { return m_autoHints; }
    TMSoundSlider &getSoundSlider() { return m_soundSlider; }
    TMMusicSlider &getMusicSlider() { return m_musicSlider; }

private:
    enum { kImageCount = 12 };

    // The on or off pair on a toggle.
    void m_showToggle(VGDialogItemButton &toggle, int32_t on);
    // Every picture of the dialog with the file it is loaded from.
    void m_listImages(HSpriteLoadItem (&list)[kImageCount]);

    TMSettings *m_pSettings;
    VGDialogItemButton m_ok;
    VGDialogItemButton m_bestTimes;
    VGDialogItemButton m_visit;
    VGDialogItemButton m_fullscreen;
    VGDialogItemButton m_autoHints;
    TMSoundSlider m_soundSlider;
    TMMusicSlider m_musicSlider;
    VGSprite m_background;
    VGSprite m_knob;
    VGSprite m_okImage, m_okLit;
    VGSprite m_bestTimesImage, m_bestTimesLit;
    VGSprite m_visitImage, m_visitLit;
    VGSprite m_on, m_onLit, m_off, m_offLit;
};

#endif
