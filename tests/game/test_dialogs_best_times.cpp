// The best-times and enter-name dialogs: their pages and lines as set up on
// the game's tables, their buttons, and the runners driven modally by input
// posted on the game's queue.
#include "game/game_dialog_support.h"

#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HUnixPlatform.h"
#include "game/TMBestTimesDialog.h"
#include "game/TMScreenLayout.h"

using namespace dialog_events;

namespace {

TMBestTime entry(const char *name, int32_t score, int32_t time, int32_t tilesLeft)
{
    TMBestTime e = makePlaceholderBestTime();
    strCopy(e.name, name, sizeof e.name);
    e.score = score;
    e.time = time;
    e.tilesLeft = tilesLeft;
    return e;
}

std::vector<std::string> row(TMBestTimesDialog &dialog, int32_t rank)
{
    std::vector<std::string> texts;
    for (int32_t column = 0; column < TMBestTimesDialog::kColumns; ++column)
        texts.push_back(dialog.getLine(rank, column).getText());
    return texts;
}

std::vector<int32_t> rowFlags(TMBestTimesDialog &dialog, int32_t rank)
{
    std::vector<int32_t> flags;
    for (int32_t column = 0; column < TMBestTimesDialog::kColumns; ++column)
        flags.push_back(dialog.getLine(rank, column).getFlags());
    return flags;
}

std::string fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "(none)";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// A best-times dialog set up on the game's tables outside the modal loop.
class BestTimesDialogTest : public GameDialogTest
{
protected:
    void TearDown() override
    {
        dialog.unloadSprites();
        dialog.removeAllItems();
        GameDialogTest::TearDown();
    }
    void setUp(int32_t layout)
    {
        ASSERT_TRUE(dialog.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), game.m_bestTimes, layout));
    }

    TMBestTimesDialog dialog;
};

TEST_F(BestTimesDialogTest, RowsShowNameScoreTimeAndTilesLeftWithinNinetyNineMinutes)
{
    const struct
    {
        const char *what;
        TMBestTime entry;
        std::vector<std::string> expected; // name, score, time, tiles left
    } cases[] = {
        {"placeholder", makePlaceholderBestTime(), {"nobody", "99:59", "99:59", "144"}},
        {"a won game", entry("Ann", 754, 634, 0), {"Ann", "12:34", "10:34", "0"}},
        {"a score above 5999", entry("Bo", 7000, 125, 12), {"Bo", "99:59", "02:05", "12"}},
        {"exactly 5999 and 6000", entry("Cy", 5999, 6000, 2), {"Cy", "99:59", "99:59", "2"}},
        {"under a minute", entry("", 59, 0, 4), {"", "00:59", "00:00", "4"}},
    };
    int32_t rank = 0;
    for (const auto &c : cases)
        game.m_bestTimes[7][rank++] = c.entry;
    setUp(7);
    EXPECT_EQ(7, dialog.getLayout());
    rank = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, row(dialog, rank++));
    }
    // A row a rank; the name from its left edge, the numbers to their right.
    EXPECT_EQ(tmscreen::kBestTimesFirstRowY, dialog.getLine(0, 0).getY());
    EXPECT_EQ(tmscreen::kBestTimesFirstRowY + 7 * tmscreen::kBestTimesRowStep, dialog.getLine(7, 3).getY());
    EXPECT_EQ(tmscreen::kBestTimesNameX, dialog.getLine(3, 0).getX());
    EXPECT_EQ(tmscreen::kBestTimesScoreX, dialog.getLine(3, 1).getX());
    EXPECT_EQ(tmscreen::kBestTimesTimeX, dialog.getLine(3, 2).getX());
    EXPECT_EQ(tmscreen::kBestTimesTilesLeftX, dialog.getLine(3, 3).getX());
    EXPECT_FALSE(dialog.getLine(3, 0).isEditable());
    // OK first, so Enter closes it.
    EXPECT_EQ(&dialog.getOkButton(), dialog.getDefaultItem());
}

TEST_F(BestTimesDialogTest, ArrowsStepThroughTheLayoutsWithTheirTitlesAndLeaveTheSetting)
{
    // Titles of their own sizes, so the one shown can be told by its width.
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        replaceArt(TM_ART_LAYOUT_TITLE + layout, 20 + 2 * layout, 10);
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        game.m_bestTimes[layout][0] = entry(("L" + std::to_string(layout)).c_str(), 60, 60, 0);
    game.m_settings.layout = 0;

    const struct
    {
        int32_t from;
        bool next;
        int32_t to;
    } cases[] = {{0, false, 17}, {17, true, 0}, {5, true, 6}, {6, false, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + (c.next ? " next" : " previous"));
        TMBestTimesDialog paging;
        ASSERT_TRUE(paging.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), game.m_bestTimes, c.from));
        const HRect titleBefore = paging.getTitleButton().getRect();
        EXPECT_EQ(20 + 2 * c.from, titleBefore.x1 - titleBefore.x0);
        VGDialogItemButton &arrow = c.next ? paging.getNextButton() : paging.getPreviousButton();
        EXPECT_FALSE(paging.onItemActivated(&arrow));
        EXPECT_EQ(c.to, paging.getLayout());
        EXPECT_EQ("L" + std::to_string(c.to), paging.getLine(0, 0).getText());
        const HRect title = paging.getTitleButton().getRect();
        EXPECT_EQ(20 + 2 * c.to, title.x1 - title.x0);
        // Centred once by the first layout's title; it does not move.
        EXPECT_EQ(titleBefore.x0, title.x0);
        EXPECT_EQ(0, game.m_settings.layout);
        // A click on the title closes the dialog.
        EXPECT_TRUE(paging.onItemActivated(&paging.getTitleButton()));
        paging.unloadSprites();
        paging.removeAllItems();
    }
    setUp(0);
    const int32_t backgroundWidth = dialog.getBackground()->getWidth();
    EXPECT_EQ(tmscreen::kBestTimesDialog.x + (backgroundWidth - 20) / 2, dialog.getTitleButton().getRect().x0);
}

TEST_F(BestTimesDialogTest, ItemsComeInTheirOrderAtTheirPlacesWithTheirPictures)
{
    setUp(3);
    EXPECT_EQ("art/besttimes_tl.jpg", nameOf(dialog.getBackground()));
    EXPECT_EQ(tmscreen::kBestTimesDialog.x, dialog.getBounds().x0);
    EXPECT_EQ(tmscreen::kBestTimesDialog.y, dialog.getBounds().y0);

    std::vector<VGDialogItem *> expected = {&dialog.getOkButton(), &dialog.getClearButton(), &dialog.getNextButton(),
                                            &dialog.getPreviousButton(), &dialog.getTitleButton()};
    // Then a row a rank: name, score, time, tiles left.
    for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
        for (int32_t column = 0; column < TMBestTimesDialog::kColumns; ++column)
            expected.push_back(&dialog.getLine(rank, column));
    std::vector<VGDialogItem *> chain;
    for (VGDialogItem *item = dialog.getFirstItem(); item; item = item->getNext())
        chain.push_back(item);
    EXPECT_EQ(expected, chain);

    // OK and Clear are drawn in the background: only their lit forms show.
    EXPECT_EQ((Placed{tmscreen::kBestTimesOk.x, tmscreen::kBestTimesOk.y, "(none)", "art/ok_lit_tl.tga"}),
              placed(&dialog.getOkButton(), dialog));
    EXPECT_EQ((Placed{tmscreen::kBestTimesClear.x, tmscreen::kBestTimesClear.y, "(none)",
                      "art/besttimes_clear_lit_tl.tga"}),
              placed(&dialog.getClearButton(), dialog));
    const struct
    {
        VGDialogItemButton *button;
        tmscreen::Point at;
        int32_t normal, lit;
    } arrows[] = {{&dialog.getNextButton(), tmscreen::kBestTimesNext, TM_ART_ARROW_RIGHT, TM_ART_ARROW_RIGHT_LIT},
                  {&dialog.getPreviousButton(), tmscreen::kBestTimesPrevious, TM_ART_ARROW_LEFT,
                   TM_ART_ARROW_LEFT_LIT}};
    for (const auto &a : arrows) {
        SCOPED_TRACE(a.normal);
        EXPECT_EQ(a.at.x, a.button->getX());
        EXPECT_EQ(a.at.y, a.button->getY());
        EXPECT_EQ(&game.m_sprites[a.normal], a.button->getNormalImage());
        EXPECT_EQ(&game.m_sprites[a.lit], a.button->getHighlightedImage());
    }
    EXPECT_EQ(tmscreen::kBestTimesTitleY, dialog.getTitleButton().getY());
    EXPECT_EQ(&game.m_sprites[TM_ART_LAYOUT_TITLE + 3], dialog.getTitleButton().getNormalImage());
    EXPECT_EQ(&game.m_sprites[TM_ART_LAYOUT_TITLE + 3], dialog.getTitleButton().getHighlightedImage());

    // Names from their left edge, the numbers up to their right edge, all
    // in the game font.
    const int32_t styles[TMBestTimesDialog::kColumns] = {kAlignLeft, kAlignRight, kAlignRight, kAlignRight};
    for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
        for (int32_t column = 0; column < TMBestTimesDialog::kColumns; ++column) {
            SCOPED_TRACE(std::to_string(rank) + "/" + std::to_string(column));
            const VGDialogItemTextLine &line = dialog.getLine(rank, column);
            EXPECT_EQ(styles[column], line.getTextStyle());
            ASSERT_NE(nullptr, game.getFont());
            EXPECT_EQ(game.getFont(), line.getFont());
            EXPECT_FALSE(line.isEditable());
        }
}

TEST_F(BestTimesDialogTest, TheLastEntryBlinksWheneverItsLayoutIsShown)
{
    game.m_lastEntryLayout = 5;
    game.m_lastEntryRank = 2;
    const std::vector<int32_t> blinking(4, VGDialogItemTextLine::kFlagBlink);
    const std::vector<int32_t> still(4, 0);

    setUp(4);
    for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
        EXPECT_EQ(still, rowFlags(dialog, rank)) << rank;
    dialog.onItemActivated(&dialog.getNextButton());
    for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
        EXPECT_EQ(rank == 2 ? blinking : still, rowFlags(dialog, rank)) << rank;
    dialog.onItemActivated(&dialog.getNextButton());
    EXPECT_EQ(still, rowFlags(dialog, 2));

    // A game that did not place clears the marker.
    game.m_lastEntryLayout = -1;
    game.m_lastEntryRank = -1;
    dialog.onItemActivated(&dialog.getPreviousButton());
    EXPECT_EQ(still, rowFlags(dialog, 2));
}

TEST_F(GameDialogTest, ClearAsksAndOnlyAYesEmptiesTheTableAndRewritesTheRegistry)
{
    const std::string registry = home / ".velmora/registry_Velmora_Tilmar";
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "confirmed" : "cancelled");
        game.m_bestTimes[3][0] = entry("Kept", 100, 90, 0);
        game.m_bestTimes[4][0] = entry("Other", 100, 90, 0);
        game.saveBestTimes();
        const std::string before = fileBytes(registry);
        ASSERT_NE("(none)", before) << "saveBestTimes wrote no registry file";
        // Held but not yet stored: any write while the dialog runs shows.
        const std::string unsaved = yes ? "Unsaved 2" : "Unsaved 1";
        game.m_bestTimes[5][0] = entry(unsaved.c_str(), 100, 90, 0);

        int32_t deepest = 0;
        std::string firstNameAfter;
        everyFrame([&](int frame) {
            const int32_t depth = VGDialog::getOpenDialogCount();
            auto *bestTimes = dynamic_cast<TMBestTimesDialog *>(VGDialog::getOpenDialog(depth - 1));
            ASSERT_NE(nullptr, bestTimes);
            if (frame == 1) {
                post(pressOn(bestTimes->getClearButton()));
            } else if (depth == 2 && deepest < 2) {
                deepest = 2;
                if (yes)
                    post(pressOn(*openItem("Are you sure, ok")));
                else
                    post(enter());
            } else if (depth == 1 && deepest == 2 && firstNameAfter.empty()) {
                firstNameAfter = bestTimes->getLine(0, 0).getText();
                post(enter());
            }
        });
        game.showBestTimes(3);
        EXPECT_FALSE(game.runaway);
        EXPECT_EQ(2, deepest);
        EXPECT_EQ(yes ? "nobody" : "Kept", firstNameAfter);
        EXPECT_STREQ(yes ? "nobody" : "Kept", game.m_bestTimes[3][0].name);
        for (int32_t rank = 1; rank < TM_BEST_TIME_RANKS && yes; ++rank)
            EXPECT_STREQ("nobody", game.m_bestTimes[3][rank].name);
        EXPECT_STREQ("Other", game.m_bestTimes[4][0].name);
        if (!yes) {
            EXPECT_EQ(before, fileBytes(registry));
        } else {
            HSystemRegistry *r = getSystemRegistry();
            ASSERT_TRUE(r->open(nullptr, kRegistryCompany, kRegistryProduct));
            TMBestTime record;
            int32_t length = 0;
            EXPECT_TRUE(r->readData("HS:3x0", &record, sizeof record, &length));
            EXPECT_EQ(48, length);
            EXPECT_STREQ("nobody", record.name);
            EXPECT_EQ(TM_PLACEHOLDER_SECONDS, record.score);
            EXPECT_TRUE(r->readData("HS:5x0", &record, sizeof record, &length));
            EXPECT_EQ(unsaved, record.name);
            r->close();
        }
        EXPECT_EQ(0, game.getPauseCount());
        drain();
    }
}

// ---------------------------------------------------------------------------
// Enter name

TEST_F(GameDialogTest, TheNameStartsFromTheLastNameOrTheLoginAndKeepsTwelveCharacters)
{
    char login[TM_LAST_NAME_SIZE] = "";
    if (!getUserName(login, sizeof login))
        login[0] = '\0';
    char login12[13];
    strCopy(login12, login, sizeof login12);

    const struct
    {
        const char *what;
        const char *lastName;
        std::string typing; // '\b' is a backspace
        bool quit;
        std::string expected;
    } cases[] = {
        {"the last name", "Alice", "", false, "Alice"},
        {"no last name: the login name", "", "", false, login12},
        {"a long last name is cut", "abcdefghijklmnopqrst", "", false, "abcdefghijkl"},
        {"typing stops at twelve", "abcdefghij", "klmn", false, "abcdefghijkl"},
        {"backspace", "Alice", "\b\bx", false, "Alix"},
        {"a quit keeps the text typed", "Bo", "b", true, "Bob"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        strCopy(game.m_settings.lastName, c.lastName, sizeof game.m_settings.lastName);
        for (char ch : c.typing)
            post(typed(ch));
        post(c.quit ? quit() : enter());
        char name[256];
        std::memset(name, 'X', sizeof name);
        game.runEnterNameDialog(name, sizeof name);
        EXPECT_EQ(c.expected, std::string(name));
        EXPECT_EQ(0, VGDialog::getOpenDialogCount());
        drain();
    }
}

TEST_F(GameDialogTest, TheEnteredNameIsCutToTheBuffer)
{
    strCopy(game.m_settings.lastName, "Alice", sizeof game.m_settings.lastName);
    post(enter());
    char name[4];
    game.runEnterNameDialog(name, sizeof name);
    EXPECT_STREQ("Ali", name);
}

TEST_F(GameDialogTest, TheEnterNameDialogShowsTheScoreUnlimitedWithTheEditLineFocused)
{
    const struct
    {
        int32_t score;
        const char *expected;
    } cases[] = {{6000, "100:00"}, {5999, "99:59"}, {61, "01:01"}, {0, "00:00"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.score);
        TMStatistics statistics = {};
        statistics.finalScore = c.score;
        TMEnterNameDialog dialog;
        ASSERT_TRUE(dialog.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), statistics));
        EXPECT_STREQ(c.expected, dialog.getScoreLine().getText());
        EXPECT_EQ(&dialog.getOkButton(), dialog.getDefaultItem());
        EXPECT_EQ(&dialog.getEditLine(), dialog.getFocusedItem());
        EXPECT_TRUE(dialog.getEditLine().isEditable());
        EXPECT_FALSE(dialog.getScoreLine().isEditable());
        EXPECT_EQ(12, dialog.getEditLine().getMaxLength());
        // Centred in the board area right of the left panel.
        const int32_t width = dialog.getBackground()->getWidth();
        EXPECT_EQ((tmscreen::kScreenWidth - width - tmscreen::kPanelWidth) / 2 + tmscreen::kPanelWidth,
                  dialog.getX());
        dialog.unloadSprites();
        dialog.removeAllItems();
    }
}

TEST_F(GameDialogTest, TheEnterNameDialogPlacesItsItemsOnTheBackground)
{
    TMStatistics statistics = {};
    statistics.finalScore = 75;
    TMEnterNameDialog dialog;
    ASSERT_TRUE(dialog.setUp(game.getDisplayDevice(), game.getResourceFileSystem(), statistics));
    const VGSprite *background = dialog.getBackground();
    EXPECT_EQ("art/entername_tl.jpg", nameOf(background));
    const int32_t width = background->getWidth();
    const int32_t height = background->getHeight();
    EXPECT_EQ((tmscreen::kScreenHeight - height) / 2, dialog.getY());

    std::vector<VGDialogItem *> chain;
    for (VGDialogItem *item = dialog.getFirstItem(); item; item = item->getNext())
        chain.push_back(item);
    EXPECT_EQ((std::vector<VGDialogItem *>{&dialog.getOkButton(), &dialog.getScoreLine(), &dialog.getEditLine()}),
              chain);

    const VGDialogItemButton &ok = dialog.getOkButton();
    EXPECT_STREQ("Enter Name OK Button", ok.getName());
    EXPECT_EQ((Placed{(width - widthOf(&ok)) / 2, height - (3 * heightOf(&ok)) / 2, "art/register_ok_tl.tga",
                      "art/register_ok_lit_tl.tga"}),
              placed(&ok, dialog));

    const VGDialogItemTextLine &edit = dialog.getEditLine();
    EXPECT_STREQ("Enter Name Edit Line", edit.getName());
    EXPECT_EQ(tmscreen::kEnterNameEdit.x, edit.getX());
    EXPECT_EQ(tmscreen::kEnterNameEdit.y, edit.getY());
    const HRect box = edit.getRect();
    const tmscreen::Box &expectedBox = tmscreen::kEnterNameEditBox;
    EXPECT_EQ((std::vector<int32_t>{expectedBox.x0, expectedBox.y0, expectedBox.x1, expectedBox.y1}),
              (std::vector<int32_t>{box.x0, box.y0, box.x1, box.y1}));
    EXPECT_EQ(12, edit.getVisibleLength());
    EXPECT_EQ(game.getFont(), edit.getFont());

    const VGDialogItemTextLine &score = dialog.getScoreLine();
    EXPECT_STREQ("Score", score.getName());
    EXPECT_STREQ("01:15", score.getText());
    EXPECT_EQ(width / 2, score.getX());
    EXPECT_EQ(tmscreen::kEnterNameScoreY, score.getY());
    EXPECT_EQ(kAlignCenter, score.getTextStyle());
    EXPECT_EQ(16, score.getMaxLength());
    ASSERT_NE(nullptr, game.getFont());
    EXPECT_EQ(game.getFont(), score.getFont());

    dialog.unloadSprites();
    dialog.removeAllItems();
}
