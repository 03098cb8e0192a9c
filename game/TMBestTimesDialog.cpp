// The best-times dialog, which pages through the layouts' tables and clears
// one, and the enter-name dialog of a finished game that placed, with their
// runners.
#include "game/TMBestTimesDialog.h"

#include <cstring>

#include "engine/core/HMath.h"
#include "engine/core/HString.h"
#include "engine/core/HUnixPlatform.h"
#include "engine/media/H2DDisplayDevice.h"
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

HBitmapFont *s_font()
{
    return g_pCurrentGame ? g_pCurrentGame->getFont() : nullptr;
}

// An art slot of the game, or null without a game.
VGSprite *s_art(int32_t slot)
{
    Tilmar *game = s_game();
    return game ? game->getSprite(slot) : nullptr;
}

int32_t s_width(const VGSprite *sprite)
{
    return sprite ? sprite->getWidth() : 0;
}

// "mm:ss" of a number of seconds.
void s_formatMinutes(char *buffer, size_t size, int32_t seconds)
{
    formatString(buffer, size, "%02d:%02d", seconds / 60, seconds % 60);
}

} // namespace

// ---------------------------------------------------------------------------
// Best times

TMBestTimesDialog::TMBestTimesDialog() : m_layout(0)
{
    for (auto &layout : m_table)
        for (TMBestTime &entry : layout)
            entry = makePlaceholderBestTime();
}

TMBestTimesDialog::~TMBestTimesDialog()
{
}

bool TMBestTimesDialog::setUp(H2DDisplayDevice *display, HFileSystem *fileSystem,
                              const TMBestTime (&bestTimes)[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS], int32_t layout)
{
    // A layout index from outside the tables shows the nearest one.
    m_layout = clampInt(layout, 0, TM_LAYOUT_COUNT - 1);
    m_clearLit.load(display, fileSystem, "art/besttimes_clear_lit_tl.tga");
    m_okLit.load(display, fileSystem, "art/ok_lit_tl.tga");
    m_background.load(display, fileSystem, "art/besttimes_tl.jpg");

    setPosition(tmscreen::kBestTimesDialog.x, tmscreen::kBestTimesDialog.y);
    setBackground(&m_background);

    // OK and Clear are drawn in the background; only their lit forms show.
    m_ok.setImages(nullptr, &m_okLit, nullptr);
    m_ok.setPosition(tmscreen::kBestTimesOk.x, tmscreen::kBestTimesOk.y);
    m_clear.setImages(nullptr, &m_clearLit, nullptr);
    m_clear.setPosition(tmscreen::kBestTimesClear.x, tmscreen::kBestTimesClear.y);
    m_next.setImages(s_art(TM_ART_ARROW_RIGHT), s_art(TM_ART_ARROW_RIGHT_LIT), nullptr);
    m_next.setPosition(tmscreen::kBestTimesNext.x, tmscreen::kBestTimesNext.y);
    m_previous.setImages(s_art(TM_ART_ARROW_LEFT), s_art(TM_ART_ARROW_LEFT_LIT), nullptr);
    m_previous.setPosition(tmscreen::kBestTimesPrevious.x, tmscreen::kBestTimesPrevious.y);
    VGSprite *title = s_art(TM_ART_LAYOUT_TITLE + m_layout);
    m_title.setImages(title, title, nullptr);
    // Centred by the first layout's title, whichever is shown.
    m_title.setPosition((m_background.getWidth() - s_width(s_art(TM_ART_LAYOUT_TITLE))) / 2,
                        tmscreen::kBestTimesTitleY);

    // OK, the first, is the default: Enter closes the dialog.
    addItem(&m_ok);
    addItem(&m_clear);
    addItem(&m_next);
    addItem(&m_previous);
    addItem(&m_title);

    m_drawPage(bestTimes);
    for (VGDialogItemTextLine &line : m_lines)
        addItem(&line);
    return true;
}

void TMBestTimesDialog::m_drawPage(const TMBestTime (&source)[TM_LAYOUT_COUNT][TM_BEST_TIME_RANKS])
{
    std::memcpy(m_table, source, sizeof m_table);

    Tilmar *game = s_game();
    const bool markedLayout = game && game->getLastEntryLayout() == m_layout;
    const int32_t columnX[kColumns] = {tmscreen::kBestTimesNameX, tmscreen::kBestTimesScoreX,
                                       tmscreen::kBestTimesTimeX, tmscreen::kBestTimesTilesLeftX};
    const int32_t columnStyle[kColumns] = {kAlignLeft, kAlignRight, kAlignRight, kAlignRight};

    for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank) {
        const TMBestTime &entry = m_table[m_layout][rank];
        char text[kColumns][64];
        // The name is read only within its field, terminated or not.
        formatString(text[0], sizeof text[0], "%.*s", static_cast<int>(sizeof entry.name), entry.name);
        // Shown within 00:00 to 99:59.
        s_formatMinutes(text[1], sizeof text[1], clampInt(entry.score, 0, TM_PLACEHOLDER_SECONDS));
        s_formatMinutes(text[2], sizeof text[2], clampInt(entry.time, 0, TM_PLACEHOLDER_SECONDS));
        formatString(text[3], sizeof text[3], "%ld", static_cast<long>(entry.tilesLeft));

        const int32_t flags = markedLayout && game->getLastEntryRank() == rank ? VGDialogItemTextLine::kFlagBlink : 0;
        const int32_t y = tmscreen::kBestTimesFirstRowY + tmscreen::kBestTimesRowStep * rank;
        for (int32_t column = 0; column < kColumns; ++column) {
            VGDialogItemTextLine &line = getLine(rank, column);
            line.setText(text[column]);
            line.setEditable(false);
            line.setPosition(columnX[column], y);
            line.setFont(s_font());
            line.setTextStyle(columnStyle[column]);
            line.setFlags(flags);
        }
    }
}

void TMBestTimesDialog::unloadSprites()
{
    m_background.unload();
    m_okLit.unload();
    m_clearLit.unload();
}

bool TMBestTimesDialog::onItemActivated(VGDialogItem *item)
{
    Tilmar *game = s_game();
    if (item == &m_ok) {
        s_playClick();
        return true;
    }
    if (item == &m_clear) {
        s_playClick();
        if (game && game->confirm("art/besttimes_areyousure.jpg", "art/besttimes_areyousure_yes.tga",
                                  "art/besttimes_areyousure_yes_lit.tga", "art/besttimes_areyousure_no.tga",
                                  "art/besttimes_areyousure_no_lit.tga")) {
            game->resetBestTimes(m_layout);
            m_drawPage(game->getBestTimes());
            game->saveBestTimes();
        }
        return false;
    }
    if (item == &m_next || item == &m_previous) {
        s_playClick();
        const int32_t step = item == &m_next ? 1 : TM_LAYOUT_COUNT - 1;
        m_layout = (m_layout + step) % TM_LAYOUT_COUNT;
        if (game)
            m_drawPage(game->getBestTimes());
        VGSprite *title = s_art(TM_ART_LAYOUT_TITLE + m_layout);
        m_title.setImages(title, title, nullptr);
        invalidate(m_bounds);
        return false;
    }
    // In practice the layout title: a click on it closes the dialog.
    return true;
}

void Tilmar::showBestTimes(int32_t layout)
{
    m_beginPause();
    TMBestTimesDialog dialog;
    dialog.setUp(m_pDisplayDevice, m_pResourceFileSystem, m_bestTimes, layout);
    dialog.doModal(this, m_pDisplayDevice, &m_eventQueue, 0, this);
    // The arrows and titles are the game's own art and stay loaded.
    dialog.unloadSprites();
    dialog.removeAllItems();
    m_endPause();
}

// ---------------------------------------------------------------------------
// Enter name

TMEnterNameDialog::TMEnterNameDialog()
{
}

TMEnterNameDialog::~TMEnterNameDialog()
{
}

bool TMEnterNameDialog::setUp(H2DDisplayDevice *display, HFileSystem *fileSystem, const TMStatistics &statistics)
{
    m_edit.setMaxLength(16);
    m_score.setMaxLength(16);

    m_background.load(display, fileSystem, "art/entername_tl.jpg");
    m_okImage.load(display, fileSystem, "art/register_ok_tl.tga");
    m_okLit.load(display, fileSystem, "art/register_ok_lit_tl.tga");
    const int32_t width = m_background.getWidth();
    const int32_t height = m_background.getHeight();

    m_ok.setImages(&m_okImage, &m_okLit, nullptr);
    m_ok.setName("Enter Name OK Button");
    m_ok.setPosition((width - m_okImage.getWidth()) / 2, height - (3 * m_okImage.getHeight()) / 2);

    // The last name entered, else the login name, else nothing.
    char name[TM_LAST_NAME_SIZE] = "";
    Tilmar *game = s_game();
    if (game && game->getSettings().lastName[0] != '\0')
        strCopy(name, game->getSettings().lastName, sizeof name);
    else if (!getUserName(name, sizeof name))
        name[0] = '\0';

    m_edit.setFont(s_font());
    m_edit.setName("Enter Name Edit Line");
    m_edit.setMaxLength(kMaxNameLength);
    m_edit.setText(name);
    m_edit.setPosition(tmscreen::kEnterNameEdit.x, tmscreen::kEnterNameEdit.y);
    // Where a click gives the line the focus.
    const tmscreen::Box &box = tmscreen::kEnterNameEditBox;
    m_edit.setRect(HRect(box.x0, box.y0, box.x1, box.y1));
    m_edit.setEditable(true);

    // Not limited: an hour and more shows as it is.
    char score[32];
    s_formatMinutes(score, sizeof score, statistics.finalScore);
    m_score.setText(score);
    m_score.setTextStyle(kAlignCenter);
    m_score.setFont(s_font());
    m_score.setName("Score");
    m_score.setPosition(width / 2, tmscreen::kEnterNameScoreY);
    m_score.setEditable(false);

    // Centred in the board area right of the left panel.
    setBackground(&m_background);
    const int32_t screenWidth = display ? display->getScreenWidth() : tmscreen::kScreenWidth;
    const int32_t screenHeight = display ? display->getScreenHeight() : tmscreen::kScreenHeight;
    setPosition((screenWidth - width - tmscreen::kPanelWidth) / 2 + tmscreen::kPanelWidth,
                (screenHeight - height) / 2);

    // OK is the default; the edit line, added last, has the focus.
    addItem(&m_ok);
    addItem(&m_score);
    addItem(&m_edit);
    return true;
}

void TMEnterNameDialog::unloadSprites()
{
    m_background.unload();
    m_okImage.unload();
    m_okLit.unload();
}

bool TMEnterNameDialog::onItemActivated(VGDialogItem *item)
{
    if (item != &m_ok)
        return false;
    s_playClick();
    return true;
}

void Tilmar::runEnterNameDialog(char *buffer, int32_t size)
{
    // The game has ended, so its clock is not paused here.
    TMEnterNameDialog dialog;
    dialog.setUp(m_pDisplayDevice, m_pResourceFileSystem, m_statistics);
    dialog.doModal(this, m_pDisplayDevice, &m_eventQueue, 0, this);
    // There is no cancel: however the dialog closed, its text is the name.
    if (buffer && size > 0)
        strCopy(buffer, dialog.getEditLine().getText(), static_cast<size_t>(size));
    dialog.unloadSprites();
    dialog.removeAllItems();
}
