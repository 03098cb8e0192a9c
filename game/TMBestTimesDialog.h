// The best-times dialog (one layout's eight best results, paged through the
// layouts, with a Clear button) and the enter-name dialog that asks for the
// player's name when a finished game placed in its table.
#ifndef GAME_TMBESTTIMESDIALOG_H
#define GAME_TMBESTTIMESDIALOG_H

#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"
#include "game/TMBoard.h"
#include "game/TMRecords.h"

class H2DDisplayDevice;
class HFileSystem;
struct TMStatistics;

class TMBestTimesDialog : public VGDialog
{
public:
    enum { kColumns = 4, kLines = kColumns * TM_BEST_TIME_RANKS };

    // Fills its own table with placeholder entries.
    TMBestTimesDialog();
    ~TMBestTimesDialog() override;
    bool onItemActivated(VGDialogItem *item) override;

    bool setUp(H2DDisplayDevice *display, HFileSystem *fileSystem,
               const TMBestTime (&bestTimes)[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS], int32_t layout);
    // Copies the table and fills the 32 lines for the layout shown.
    void m_drawPage(const TMBestTime (&source)[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS]);
    // Unloads the three sprites of its own.
    void unloadSprites();

    int32_t getLayout() const { return m_layout; }
    // Line of a rank: column 0 name, 1 score, 2 time, 3 tiles left.
    VGDialogItemTextLine &getLine(int32_t rank, int32_t column) { return m_lines[rank * kColumns + column]; }
    VGDialogItemButton &getOkButton() { return m_ok; }
    VGDialogItemButton &getClearButton() { return m_clear; }
    VGDialogItemButton &getNextButton() { return m_next; }
    VGDialogItemButton &getPreviousButton() { return m_previous; }
    VGDialogItemButton &getTitleButton() { return m_title; }

private:
    int32_t m_layout;
    TMBestTime m_table[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS];
    VGSprite m_background;
    VGSprite m_okLit;
    VGSprite m_clearLit;
    VGDialogItemButton m_ok;
    VGDialogItemButton m_clear;
    VGDialogItemButton m_next;
    VGDialogItemButton m_previous;
    VGDialogItemButton m_title;
    VGDialogItemTextLine m_lines[kLines];
};

class TMEnterNameDialog : public VGDialog
{
public:
    // The longest name the edit line takes.
    enum { kMaxNameLength = 12 };

    TMEnterNameDialog();
    ~TMEnterNameDialog() override;
    bool onItemActivated(VGDialogItem *item) override;

    bool setUp(H2DDisplayDevice *display, HFileSystem *fileSystem, const TMStatistics &statistics);
    void unloadSprites();

    VGDialogItemButton &getOkButton() { return m_ok; }
    VGDialogItemTextLine &getEditLine() { return m_edit; }
    VGDialogItemTextLine &getScoreLine() { return m_score; }

private:
    VGSprite m_background;
    VGSprite m_okImage;
    VGSprite m_okLit;
    VGDialogItemButton m_ok;
    VGDialogItemTextLine m_edit;
    VGDialogItemTextLine m_score;
};

#endif
