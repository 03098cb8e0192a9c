// The screen art: every picture the game loads by name, sized for the spot
// where the game draws it, buttons that fit their dialogs, looks painted
// into backgrounds where the game expects them, a font that follows the
// game's code grid and reads on its backgrounds, and HUD digits that the
// game's right-to-left number layout keeps apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "content/art_screens_parts.h"
#include "content/art_tiles.h"
#include "content/kit_test_util.h"
#include "game/TMRecords.h"
#include "game/TMRules.h"
#include "game/TMScreenLayout.h"

using namespace content;
using namespace tmscreen;
using kit_test::endsWith;
using kit_test::luminance;

namespace {

struct Rect
{
    int x0, y0, x1, y1;  // x1, y1 one past the last pixel
};

bool overlaps(const Rect &a, const Rect &b)
{
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

bool inside(const Rect &inner, const Rect &outer)
{
    return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

// The lines of text of the best-times dialog, from the name's left edge to
// the time's right edge, one font cell high.
std::vector<Rect> bestTimesRows()
{
    std::vector<Rect> rows;
    for (int k = 0; k < TM_BEST_TIME_RANKS; ++k) {
        const int y = kBestTimesFirstRowY + kBestTimesRowStep * k;
        rows.push_back(Rect{kBestTimesNameX, y, kBestTimesTimeX, y + kFontCellHeight});
    }
    return rows;
}

// The middle of the enter-name dialog's score line, halfWidth to either side.
Rect scoreLine(const Picture &dialog, int halfWidth)
{
    return Rect{dialog.width / 2 - halfWidth, kEnterNameScoreY, dialog.width / 2 + halfWidth,
                kEnterNameScoreY + kFontCellHeight};
}

::testing::AssertionResult isTga32(const std::vector<uint8_t> &b)
{
    if (b.size() < 18)
        return ::testing::AssertionFailure() << "shorter than a TGA header";
    if (b[0] != 0 || b[1] != 0 || b[2] != 2)
        return ::testing::AssertionFailure() << "not an uncompressed true-colour TGA without ID or colour map";
    if (b[16] != 32 || (b[17] & 0x20) != 0)
        return ::testing::AssertionFailure() << "not 32 bits stored bottom-up";
    size_t w = b[12] | b[13] << 8, h = b[14] | b[15] << 8;
    if (b.size() < 18 + w * h * 4)
        return ::testing::AssertionFailure() << "pixel data cut short";
    return ::testing::AssertionSuccess();
}

Picture decodeTga32(const std::vector<uint8_t> &b)
{
    int w = b[12] | b[13] << 8, h = b[14] | b[15] << 8;
    Picture p(w, h);
    size_t o = 18;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x, o += 4)
            p.at(x, y) = uint32_t(b[o + 3]) << 24 | uint32_t(b[o + 2]) << 16 | uint32_t(b[o + 1]) << 8 | b[o];
    return p;
}

// Every screen picture, generated once and decoded the way the game reads it.
class ScreenArt : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Entries entries;
        addScreenArtEntries(entries);
        for (const Entry &e : entries) {
            names().push_back(e.name);
            bytes()[e.name] = e.bytes;
            Picture p;
            if (endsWith(e.name, ".tga") && isTga32(e.bytes))
                p = decodeTga32(e.bytes);
            else if (endsWith(e.name, ".jpg"))
                decodeJPEG(e.bytes, p);
            pictures()[e.name] = p;
        }
    }
    static std::vector<std::string> &names()
    {
        static std::vector<std::string> all;
        return all;
    }
    static std::map<std::string, std::vector<uint8_t>> &bytes()
    {
        static std::map<std::string, std::vector<uint8_t>> all;
        return all;
    }
    static std::map<std::string, Picture> &pictures()
    {
        static std::map<std::string, Picture> all;
        return all;
    }
    static const Picture &pic(const std::string &name)
    {
        static const Picture none;
        auto it = pictures().find(name);
        return it == pictures().end() ? none : it->second;
    }
    static Rect at(const std::string &name, int x, int y)
    {
        const Picture &p = pic(name);
        return Rect{x, y, x + p.width, y + p.height};
    }
};

const char *const kExpectedNames[] = {
    "art/loading_tl.jpg", "art/progress_tl.tga", "art/font.tga", "art/pause_tl.jpg", "art/left_tl.jpg",
    "art/start_tl.jpg", "art/arrow_left_tl.tga", "art/arrow_right_tl.tga", "art/arrow_left_lit_tl.tga",
    "art/arrow_right_lit_tl.tga", "art/nomatch_alpha_tl.tga", "art/board_complete_tl.jpg", "art/gameover_tl.jpg",
    "art/icon_start_tl.tga", "art/icon_start_lit_tl.tga", "art/icon_clicktocontinue_lit.tga",
    "art/icon_exit_tl.tga", "art/icon_exit_lit_tl.tga", "art/icon_showmoves_tl.tga",
    "art/icon_showmoves_lit_tl.tga", "art/icon_hint_tl.tga", "art/icon_hint_lit_tl.tga",
    "art/icon_findmatch_tl.tga", "art/icon_findmatch_lit_tl.tga", "art/icon_options_tl.tga",
    "art/icon_options_lit_tl.tga", "art/icon_pause_tl.tga", "art/icon_pause_lit_tl.tga", "art/icon_resume_tl.tga",
    "art/icon_resume_lit_tl.tga", "art/icon_velmora_tl.tga", "art/icon_velmora_lit_tl.tga",
    "art/icon_newgame_tl.tga", "art/icon_newgame_lit_tl.tga", "art/icon_rules_tl.tga", "art/icon_rules_lit_tl.tga",
    "art/icon_shuffle_tl.tga", "art/icon_shuffle_lit_tl.tga", "art/icon_undo_tl.tga", "art/icon_undo_lit_tl.tga",
    "art/icon_score_tl.tga", "art/icon_tiles_left_tl.tga", "art/icon_available_tl.tga", "art/font_number_0.tga",
    "art/font_number_1.tga", "art/font_number_2.tga", "art/font_number_3.tga", "art/font_number_4.tga",
    "art/font_number_5.tga", "art/font_number_6.tga", "art/font_number_7.tga", "art/font_number_8.tga",
    "art/font_number_9.tga", "art/font_colon.tga", "art/font_comma.tga", "art/restart_areyousure.jpg",
    "art/besttimes_areyousure.jpg", "art/besttimes_areyousure_yes.tga", "art/besttimes_areyousure_yes_lit.tga",
    "art/besttimes_areyousure_no.tga", "art/besttimes_areyousure_no_lit.tga", "art/rules_0_tl.jpg",
    "art/rules_1_tl.jpg", "art/rules_close_tl.tga", "art/rules_close_lit_tl.tga", "art/rules_prev_tl.tga",
    "art/rules_prev_lit_tl.tga", "art/rules_next_tl.tga", "art/rules_next_lit_tl.tga", "art/no_more_moves.jpg",
    "art/no_more_moves_shuffle.tga", "art/no_more_moves_shuffle_lit.tga", "art/no_more_moves_undo.tga",
    "art/no_more_moves_undo_lit.tga", "art/no_more_moves_endgame.tga", "art/no_more_moves_endgame_lit.tga",
    "art/options_tl.jpg", "art/options_done_tl.tga", "art/options_done_lit_tl.tga", "art/options_besttimes_tl.tga",
    "art/options_besttimes_lit_tl.tga", "art/options_visit_tl.tga", "art/options_visit_lit_tl.tga",
    "art/options_slider_tab_tl.tga", "art/options_on_tl.tga", "art/options_on_lit_tl.tga", "art/options_off_tl.tga",
    "art/options_off_lit_tl.tga", "art/besttimes_tl.jpg", "art/ok_lit_tl.tga", "art/besttimes_clear_lit_tl.tga",
    "art/entername_tl.jpg", "art/register_ok_tl.tga", "art/register_ok_lit_tl.tga",
};

TEST_F(ScreenArt, WritesEachOfItsPicturesOnceInTheFormatOfItsName)
{
    std::set<std::string> expected(std::begin(kExpectedNames), std::end(kExpectedNames));
    std::set<std::string> seen;
    for (const std::string &n : names()) {
        EXPECT_TRUE(seen.insert(n).second) << "written twice: " << n;
        EXPECT_EQ(expected.count(n), 1u) << "not a screen picture of the game: " << n;
    }
    for (const std::string &n : expected)
        EXPECT_EQ(seen.count(n), 1u) << "missing: " << n;

    for (const std::string &n : names()) {
        const Picture &p = pic(n);
        if (endsWith(n, ".tga")) {
            EXPECT_TRUE(isTga32(bytes()[n])) << n;
        } else {
            ASSERT_GT(p.width, 0) << n << " does not decode as a JPEG";
            EXPECT_LE(p.width, 1365) << n;
            // The colour key would punch holes into a plainly blitted picture.
            EXPECT_EQ(std::count_if(p.argb.begin(), p.argb.end(),
                                    [](uint32_t v) { return (v & 0xffffffu) == 0xff00ffu; }),
                      0)
                << n;
        }
    }
}

TEST_F(ScreenArt, LooksThatReplaceEachOtherShareOneSize)
{
    // The game does not repaint the old rectangle when a look changes.
    const std::vector<std::vector<const char *>> groups = {
        {"art/icon_hint_tl.tga", "art/icon_hint_lit_tl.tga", "art/icon_findmatch_tl.tga",
         "art/icon_findmatch_lit_tl.tga"},
        {"art/icon_pause_tl.tga", "art/icon_pause_lit_tl.tga", "art/icon_resume_tl.tga", "art/icon_resume_lit_tl.tga"},
        {"art/options_on_tl.tga", "art/options_on_lit_tl.tga", "art/options_off_tl.tga", "art/options_off_lit_tl.tga"},
        {"art/arrow_left_tl.tga", "art/arrow_right_tl.tga", "art/arrow_left_lit_tl.tga", "art/arrow_right_lit_tl.tga"},
        {"art/rules_0_tl.jpg", "art/rules_1_tl.jpg"},
        {"art/icon_exit_tl.tga", "art/icon_exit_lit_tl.tga"},
        {"art/icon_showmoves_tl.tga", "art/icon_showmoves_lit_tl.tga"},
        {"art/icon_options_tl.tga", "art/icon_options_lit_tl.tga"},
        {"art/icon_velmora_tl.tga", "art/icon_velmora_lit_tl.tga"},
        {"art/icon_newgame_tl.tga", "art/icon_newgame_lit_tl.tga"},
        {"art/icon_rules_tl.tga", "art/icon_rules_lit_tl.tga"},
        {"art/icon_shuffle_tl.tga", "art/icon_shuffle_lit_tl.tga"},
        {"art/icon_undo_tl.tga", "art/icon_undo_lit_tl.tga"},
        {"art/icon_start_tl.tga", "art/icon_start_lit_tl.tga"},
        {"art/besttimes_areyousure_yes.tga", "art/besttimes_areyousure_yes_lit.tga"},
        {"art/besttimes_areyousure_no.tga", "art/besttimes_areyousure_no_lit.tga"},
        {"art/rules_close_tl.tga", "art/rules_close_lit_tl.tga"},
        {"art/rules_prev_tl.tga", "art/rules_prev_lit_tl.tga"},
        {"art/rules_next_tl.tga", "art/rules_next_lit_tl.tga"},
        {"art/no_more_moves_shuffle.tga", "art/no_more_moves_shuffle_lit.tga"},
        {"art/no_more_moves_undo.tga", "art/no_more_moves_undo_lit.tga"},
        {"art/no_more_moves_endgame.tga", "art/no_more_moves_endgame_lit.tga"},
        {"art/options_done_tl.tga", "art/options_done_lit_tl.tga"},
        {"art/options_besttimes_tl.tga", "art/options_besttimes_lit_tl.tga"},
        {"art/options_visit_tl.tga", "art/options_visit_lit_tl.tga"},
        {"art/register_ok_tl.tga", "art/register_ok_lit_tl.tga"},
    };
    for (const auto &group : groups) {
        const Picture &first = pic(group[0]);
        ASSERT_GT(first.width, 0) << group[0];
        for (const char *name : group) {
            EXPECT_EQ(pic(name).width, first.width) << name << " against " << group[0];
            EXPECT_EQ(pic(name).height, first.height) << name << " against " << group[0];
        }
    }
}

TEST_F(ScreenArt, FullPicturesAndControlsFitWhereTheGameDrawsThem)
{
    const Rect screen{0, 0, kScreenWidth, kScreenHeight};
    const Rect board{kBoardArea.x0, kBoardArea.y0, kBoardArea.x1, kBoardArea.y1};
    const Rect panel{0, 0, 124, kScreenHeight};
    // The board area above the HUD labels' row.
    const Rect aboveHud{kBoardArea.x0, kBoardArea.y0, kBoardArea.x1, kTimeLabel.y};
    // A HUD label reaches at most to the number area beside it.
    auto hudLabel = [](const Point &label, const Box &number) {
        return Rect{label.x, label.y, number.x0, kScreenHeight};
    };
    struct Placed
    {
        const char *name;
        Point at;
        Rect within;
    };
    const Placed placed[] = {
        {"art/loading_tl.jpg", {0, 0}, screen},
        {"art/progress_tl.tga", kProgressBar, screen},
        {"art/pause_tl.jpg", kPausePicture, board},
        {"art/left_tl.jpg", {0, 0}, Rect{0, 0, kPanelWidth, kScreenHeight}},
        {"art/start_tl.jpg", kTitlePicture, Rect{kTitlePicture.x, 0, kScreenWidth, kScreenHeight}},
        {"art/board_complete_tl.jpg", kEndPicture, aboveHud},
        {"art/gameover_tl.jpg", kEndPicture, aboveHud},
        {"art/rules_0_tl.jpg", {kPanelWidth, 0}, board},
        {"art/options_tl.jpg", kOptionsDialog, board},
        {"art/besttimes_tl.jpg", kBestTimesDialog, board},
        {"art/icon_start_tl.tga", kStartControl, board},
        {"art/icon_clicktocontinue_lit.tga", kContinueControl, aboveHud},
        {"art/icon_exit_tl.tga", kExitControl, panel},
        {"art/icon_showmoves_tl.tga", kShowMovesControl, panel},
        {"art/icon_hint_tl.tga", kHintControl, panel},
        {"art/icon_options_tl.tga", kOptionsControl, panel},
        {"art/icon_pause_tl.tga", kPauseControl, panel},
        {"art/icon_newgame_tl.tga", kRestartControl, panel},
        {"art/icon_rules_tl.tga", kRulesControl, panel},
        {"art/icon_shuffle_tl.tga", kShuffleControl, panel},
        {"art/icon_undo_tl.tga", kUndoControl, panel},
        {"art/icon_score_tl.tga", kTimeLabel, hudLabel(kTimeLabel, kTimeArea)},
        {"art/icon_available_tl.tga", kMovesLabel, hudLabel(kMovesLabel, kMovesArea)},
        {"art/icon_tiles_left_tl.tga", kTilesLeftLabel, hudLabel(kTilesLeftLabel, kTilesLeftArea)},
    };
    for (const Placed &p : placed) {
        Rect r = at(p.name, p.at.x, p.at.y);
        EXPECT_GT(r.x1, r.x0) << p.name;
        EXPECT_TRUE(inside(r, p.within)) << p.name << " reaches (" << r.x1 << ", " << r.y1 << ")";
    }

    // The left-panel controls never cover one another (hint and find match,
    // pause and resume take turns on one spot).
    std::vector<Rect> controls;
    for (const Placed &p : placed)
        if (std::string(p.name).find("icon_") != std::string::npos && p.within.x1 == panel.x1)
            controls.push_back(at(p.name, p.at.x, p.at.y));
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(overlaps(controls[i], controls[j])) << "panel controls " << i << " and " << j;
    // The logo's gold lies above y 100, not down among the controls.
    const Picture &left = pic("art/left_tl.jpg");
    double logo = 0, below = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 10; x < 110; ++x) {
            double l = luminance(left.at(x, y));
            if (y < 100)
                logo = std::max(logo, l);
            else if (y >= 105 && y < 430)
                below = std::max(below, l);
        }
    EXPECT_GT(logo, below + 0.2);
}

TEST_F(ScreenArt, DialogButtonsSitInsideTheirDialogsAndApart)
{
    struct Button
    {
        const char *name;
        int x, y;  // relative to the dialog
    };
    auto check = [&](const char *background, const std::vector<Button> &buttons, std::vector<Rect> keepClear) {
        const Picture &bg = pic(background);
        ASSERT_GT(bg.width, 0) << background;
        Rect frame{0, 0, bg.width, bg.height};
        std::vector<Rect> rects;
        for (const Button &b : buttons) {
            Rect r = at(b.name, b.x, b.y);
            EXPECT_TRUE(inside(r, frame)) << b.name << " leaves " << background;
            for (const Rect &other : rects)
                EXPECT_FALSE(overlaps(r, other)) << b.name << " in " << background;
            for (const Rect &clear : keepClear)
                EXPECT_FALSE(overlaps(r, clear)) << b.name << " covers text of " << background;
            rects.push_back(r);
        }
    };

    // The two confirmations share their buttons and their layout formulas.
    for (const char *bgName : {"art/restart_areyousure.jpg", "art/besttimes_areyousure.jpg"}) {
        const Picture &bg = pic(bgName);
        const Picture &ok = pic("art/besttimes_areyousure_yes.tga");
        const Picture &no = pic("art/besttimes_areyousure_no.tga");
        int y = bg.height - ok.height * 3 / 2;
        check(bgName,
              {{"art/besttimes_areyousure_yes.tga", (bg.width - ok.width) / 4, y},
               {"art/besttimes_areyousure_no.tga", 3 * (bg.width - no.width) / 4, y}},
              {});
    }
    // The restart confirmation is centred vertically.
    const Picture &restart = pic("art/restart_areyousure.jpg");
    EXPECT_LE(restart.width, kScreenWidth - kRestartConfirmX);
    EXPECT_TRUE(inside(Rect{kRestartConfirmX, (kScreenHeight - restart.height) / 2, kRestartConfirmX + restart.width,
                            (kScreenHeight + restart.height) / 2},
                       Rect{0, 0, kScreenWidth, kScreenHeight}));

    {
        const Picture &bg = pic("art/no_more_moves.jpg");
        auto centred = [&](const char *n) { return (bg.width - pic(n).width) / 2; };
        check("art/no_more_moves.jpg",
              {{"art/no_more_moves_shuffle.tga", centred("art/no_more_moves_shuffle.tga"), kNoMoreMovesShuffleY},
               {"art/no_more_moves_undo.tga", centred("art/no_more_moves_undo.tga") + kNoMoreMovesUndoShift,
                kNoMoreMovesUndoY},
               {"art/no_more_moves_endgame.tga", centred("art/no_more_moves_endgame.tga"), kNoMoreMovesEndGameY}},
              {});
        Rect onScreen{(kScreenWidth - bg.width) / 2 + kNoMoreMovesOffset.x,
                      (kScreenHeight - bg.height) / 2 + kNoMoreMovesOffset.y, 0, 0};
        onScreen.x1 = onScreen.x0 + bg.width;
        onScreen.y1 = onScreen.y0 + bg.height;
        EXPECT_TRUE(inside(onScreen, Rect{kBoardArea.x0, kBoardArea.y0, kBoardArea.x1, kBoardArea.y1}));
    }

    {
        // The knob is centred on the point of the value on the slider's track.
        const Picture &knob = pic("art/options_slider_tab_tl.tga");
        std::vector<Rect> knobs;
        for (const Point &slider : {kOptionsSoundSlider, kOptionsMusicSlider})
            for (double v : {0.0, 1.0}) {
                int left = slider.x - knob.width / 2 + int(kOptionsSliderTrack * v), top = slider.y - knob.height / 2;
                knobs.push_back(Rect{left, top, left + knob.width, top + knob.height});
            }
        EXPECT_FALSE(overlaps(knobs[0], knobs[2])) << "the two sliders' knobs touch";
        EXPECT_LE(pic("art/options_on_tl.tga").width, 81);
        check("art/options_tl.jpg",
              {{"art/options_done_tl.tga", kOptionsOk.x, kOptionsOk.y},
               {"art/options_besttimes_tl.tga", kOptionsBestTimes.x, kOptionsBestTimes.y},
               {"art/options_visit_tl.tga", kOptionsVisit.x, kOptionsVisit.y},
               {"art/options_on_tl.tga", kOptionsFullscreen.x, kOptionsFullscreen.y},
               {"art/options_off_tl.tga", kOptionsAutoHints.x, kOptionsAutoHints.y}},
              knobs);
    }

    {
        const Picture &bg = pic("art/besttimes_tl.jpg");
        check("art/besttimes_tl.jpg",
              {{"art/ok_lit_tl.tga", kBestTimesOk.x, kBestTimesOk.y},
               {"art/besttimes_clear_lit_tl.tga", kBestTimesClear.x, kBestTimesClear.y},
               {"art/arrow_right_tl.tga", kBestTimesNext.x, kBestTimesNext.y},
               {"art/arrow_left_tl.tga", kBestTimesPrevious.x, kBestTimesPrevious.y}},
              bestTimesRows());
        EXPECT_EQ(bg.width, 515);
    }

    {
        const Picture &bg = pic("art/entername_tl.jpg");
        const Picture &ok = pic("art/register_ok_tl.tga");
        // The edit line, 12 characters and the caret, and the score line
        // centred on the dialog, with a little room around them.
        const Box &edit = kEnterNameEditBox;
        check("art/entername_tl.jpg",
              {{"art/register_ok_tl.tga", (bg.width - ok.width) / 2, bg.height - 3 * ok.height / 2}},
              {Rect{edit.x0 - 2, edit.y0 - 2, edit.x0 + 13 * kFontCellWidth, edit.y1 + 2},
               scoreLine(bg, 30)});
        EXPECT_LE(bg.width, 515);
        EXPECT_LE(bg.height, 480);
    }

    {
        const Picture &page = pic("art/rules_0_tl.jpg");
        int W = page.width, H = page.height;
        const Picture &close = pic("art/rules_close_tl.tga");
        const Picture &prev = pic("art/rules_prev_tl.tga");
        const Picture &next = pic("art/rules_next_tl.tga");
        check("art/rules_0_tl.jpg",
              {{"art/rules_close_tl.tga", W / 4, H - close.height * 5 / 4},
               {"art/rules_prev_tl.tga", 2 * W / 3, H - prev.height * 3 / 2},
               {"art/rules_next_tl.tga", 2 * W / 3 + 2 * prev.width, H - next.height * 3 / 2}},
              {});
    }
}

// Mean difference per channel between a plain look and the opaque picture it
// was painted into at (ox, oy), over the look's opaque pixels.
double paintedDifference(const Picture &look, const Picture &into, int ox, int oy)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < look.height; ++y)
        for (int x = 0; x < look.width; ++x) {
            uint32_t s = look.at(x, y);
            if ((s >> 24) != 255)
                continue;
            uint32_t d = into.at(ox + x, oy + y);
            for (int shift : {0, 8, 16})
                sum += std::abs(int((s >> shift) & 255) - int((d >> shift) & 255));
            n += 3;
        }
    return n ? sum / n : 1e9;
}

TEST_F(ScreenArt, PlainLooksOfLitOnlyButtonsArePaintedWhereTheButtonsSit)
{
    struct Painted
    {
        Picture look;
        const char *lit;
        const char *into;
        int x, y;  // the button's position in the picture
    };
    const Point continueAt = {kContinueControl.x - kEndPicture.x, kContinueControl.y - kEndPicture.y};
    const Painted painted[] = {
        {screenart::continuePlain(), "art/icon_clicktocontinue_lit.tga", "art/board_complete_tl.jpg", continueAt.x,
         continueAt.y},
        {screenart::continuePlain(), "art/icon_clicktocontinue_lit.tga", "art/gameover_tl.jpg", continueAt.x,
         continueAt.y},
        {screenart::bestTimesButton(pic("art/ok_lit_tl.tga").width, pic("art/ok_lit_tl.tga").height, "OK", false),
         "art/ok_lit_tl.tga", "art/besttimes_tl.jpg", kBestTimesOk.x, kBestTimesOk.y},
        {screenart::bestTimesButton(pic("art/besttimes_clear_lit_tl.tga").width,
                                    pic("art/besttimes_clear_lit_tl.tga").height, "Clear", false),
         "art/besttimes_clear_lit_tl.tga", "art/besttimes_tl.jpg", kBestTimesClear.x, kBestTimesClear.y},
    };
    for (const Painted &p : painted) {
        EXPECT_EQ(p.look.width, pic(p.lit).width) << p.lit;
        EXPECT_EQ(p.look.height, pic(p.lit).height) << p.lit;
        const Picture &into = pic(p.into);
        double here = paintedDifference(p.look, into, p.x, p.y);
        // JPEG keeps it within a few levels; a look painted elsewhere is far off.
        EXPECT_LT(here, 10.0) << p.lit << " in " << p.into;
        for (int dx : {-3, 3})
            EXPECT_GT(paintedDifference(p.look, into, p.x + dx, p.y), 2 * here) << p.lit << " shifted " << dx;
        for (int dy : {-3, 3})
            EXPECT_GT(paintedDifference(p.look, into, p.x, p.y + dy), 2 * here) << p.lit << " shifted " << dy;
    }
}

// The offset in `into` where `part` shows best, by paintedDifference over
// a sparse sample of the part's opaque pixels first, then over all of them;
// answers that difference.
double bestPlace(const Picture &part, const Picture &into, Point &at)
{
    std::vector<Point> sample;
    for (int y = 0; y < part.height; y += 3)
        for (int x = 0; x < part.width; x += 5)
            if ((part.at(x, y) >> 24) == 255)
                sample.push_back({x, y});
    double best = 1e9;
    for (int oy = 0; oy + part.height <= into.height; ++oy)
        for (int ox = 0; ox + part.width <= into.width; ++ox) {
            double sum = 0;
            for (const Point &s : sample) {
                const uint32_t a = part.at(s.x, s.y), b = into.at(ox + s.x, oy + s.y);
                for (int shift : {0, 8, 16})
                    sum += std::abs(int((a >> shift) & 255) - int((b >> shift) & 255));
            }
            if (sum < best) {
                best = sum;
                at = {ox, oy};
            }
        }
    return paintedDifference(part, into, at.x, at.y);
}

TEST_F(ScreenArt, RulesShowTheFlowersAndSeasonsAsTheFirstTileSetDrawsThem)
{
    const Picture sheet = tileart::tileSheet(0);
    const Picture &page = pic("art/rules_0_tl.jpg");
    ASSERT_GT(page.width, 0);
    Point flowersAt{}, seasonsAt{};
    for (auto [first, at] : {std::pair<int, Point *>{tileart::kFirstFlowerImage, &flowersAt},
                             std::pair<int, Point *>{tileart::kFirstSeasonImage, &seasonsAt}}) {
        const Picture row = tileart::tileRow(sheet, {first, first + 1, first + 2, first + 3});
        // JPEG keeps the tiles' own pixels within a few levels.
        EXPECT_LT(bestPlace(row, page, *at), 10.0) << "the four pictures from " << first;
    }
    EXPECT_EQ(flowersAt.y, seasonsAt.y) << "the flowers and the seasons side by side";
    EXPECT_LT(flowersAt.x, seasonsAt.x);
}

TEST_F(ScreenArt, FontCellsFollowTheGameCodeGrid)
{
    const Picture &font = pic("art/font.tga");
    const int w = kFontCellWidth, h = kFontCellHeight;
    ASSERT_EQ(font.width, 16 * w);
    ASSERT_EQ(font.height, 7 * h);
    // Code c sits at column c mod 16, row c div 16 - 1.
    auto cell = [&](int code) {
        std::vector<uint32_t> px;
        int cx = (code % 16) * w, cy = (code / 16 - 1) * h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px.push_back(font.at(cx + x, cy + y));
        return px;
    };
    auto inked = [](const std::vector<uint32_t> &px) {
        return std::any_of(px.begin(), px.end(), [](uint32_t v) { return (v >> 24) > 0; });
    };
    std::set<std::vector<uint32_t>> distinct;
    for (int code = 16; code < 128; ++code) {
        bool printable = code > 32 && code < 127;
        EXPECT_EQ(inked(cell(code)), printable) << "code " << code;
        if (printable)
            distinct.insert(cell(code));
    }
    EXPECT_EQ(distinct.size(), 94u) << "two printable characters share one picture";

    // Letters sit on one baseline: descenders go below the ink of x-height letters.
    auto lowestInk = [&](char c) {
        std::vector<uint32_t> px = cell(c);
        int lowest = -1;
        for (int i = 0; i < w * h; ++i)
            if ((px[i] >> 24) > 128)
                lowest = std::max(lowest, i / w);
        return lowest;
    };
    EXPECT_EQ(lowestInk('a'), lowestInk('x'));
    EXPECT_EQ(lowestInk('A'), lowestInk('a'));
    EXPECT_GT(lowestInk('g'), lowestInk('a'));
    EXPECT_GT(lowestInk('y'), lowestInk('a'));
}

TEST_F(ScreenArt, FontIsLightAndReadsOnTheBestTimesAndEnterNameBackgrounds)
{
    const Picture &font = pic("art/font.tga");
    double glyph = 0;
    int n = 0;
    for (uint32_t v : font.argb)
        if ((v >> 24) >= 240 && luminance(v) > 0.5)
            glyph += luminance(v), ++n;
    ASSERT_GT(n, 200);
    glyph /= n;
    EXPECT_GT(glyph, 0.85);

    // Where the text lines draw: the eight best-times rows and the edit and
    // score lines of the enter-name dialog.
    auto meanLuminance = [&](const Picture &p, Rect r) {
        double sum = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                sum += luminance(p.at(x, y));
        return sum / ((r.x1 - r.x0) * (r.y1 - r.y0));
    };
    const Picture &best = pic("art/besttimes_tl.jpg");
    const std::vector<Rect> rows = bestTimesRows();
    for (size_t k = 0; k < rows.size(); ++k)
        EXPECT_LT(meanLuminance(best, rows[k]), glyph - 0.55) << "row " << k;
    const Picture &name = pic("art/entername_tl.jpg");
    const Box &edit = kEnterNameEditBox;
    EXPECT_LT(meanLuminance(name, Rect{edit.x0, edit.y0, edit.x0 + 12 * kFontCellWidth, edit.y1}), glyph - 0.55);
    EXPECT_LT(meanLuminance(name, scoreLine(name, 20)), glyph - 0.55);
}

// The columns where a glyph has ink (alpha above half), placed at pen.
std::vector<int> inkColumns(const Picture &g, int pen)
{
    std::vector<int> cols;
    for (int x = 0; x < g.width; ++x)
        for (int y = 0; y < g.height; ++y)
            if ((g.at(x, y) >> 24) > 128) {
                cols.push_back(pen + x);
                break;
            }
    return cols;
}

TEST_F(ScreenArt, HudNumbersLaidOutRightToLeftKeepTheirGlyphsApart)
{
    auto glyphName = [](char c) -> std::string {
        if (c == ':')
            return "art/font_colon.tga";
        if (c == ',')
            return "art/font_comma.tga";
        return std::string("art/font_number_") + c + ".tga";
    };
    const int h = pic("art/font_number_0.tga").height;
    for (const char *c : {"0123456789", ":", ","}) {
        for (const char *q = c; *q; ++q) {
            const Picture &g = pic(glyphName(*q));
            EXPECT_EQ(g.height, h) << *q;
            EXPECT_LE(g.width, 15) << *q;
            EXPECT_LE(g.height, 28) << *q;
        }
    }

    // The game's layout: from the last character leftwards, a step of the
    // glyph's width, 3w/4 + 1 after every third character, and with commas
    // on a comma (3 pixels lower, step 3w/4) after each group of three.
    struct Case
    {
        const char *text;
        bool commas;
    };
    for (const Case &c : {Case{"1000", true}, Case{"1234567", true}, Case{"144", true}, Case{"00:00", false},
                          Case{"123:45", false}}) {
        std::vector<std::vector<int>> inks;
        std::vector<char> chars;
        int pen = 600, count = 0, pos = int(std::string(c.text).size()) - 1;
        bool pending = false;
        while (pos >= 0) {
            char ch;
            int step;
            if (pending && c.commas) {
                ch = ',';
                pending = false;
                step = 3 * pic(glyphName(ch)).width / 4;
            } else {
                ch = c.text[pos--];
                int w = pic(glyphName(ch)).width;
                step = w;
                if (++count % 3 == 0) {
                    pending = true;
                    step = 3 * w / 4 + 1;
                }
            }
            inks.push_back(inkColumns(pic(glyphName(ch)), pen));
            chars.push_back(ch);
            pen -= step;
        }
        for (size_t i = 1; i < inks.size(); ++i) {
            ASSERT_FALSE(inks[i].empty());
            // Glyph i lies left of glyph i - 1 with at least one clear column.
            EXPECT_LT(inks[i].back() + 1, inks[i - 1].front())
                << "'" << chars[i] << "' runs into '" << chars[i - 1] << "' in " << c.text;
        }
    }

    // The comma, drawn 3 pixels lower than the digits, hangs below their baseline.
    auto lowest = [](const Picture &g) {
        int low = -1;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if ((g.at(x, y) >> 24) > 128)
                    low = y;
        return low;
    };
    EXPECT_GT(lowest(pic("art/font_comma.tga")) + 3, lowest(pic("art/font_number_0.tga")));
}

TEST_F(ScreenArt, HudLabelsEndBeforeTheNumbersTheyName)
{
    // Numbers end at their last character's glyph; the widest usual numbers
    // are "00:00" for the time and three digits for the others.
    const int digitW = pic("art/font_number_0.tga").width;
    // Two digits, the colon, two digits.
    const int timeLeft = kTimeText.x - 3 * digitW - (3 * digitW / 4 + 1);
    struct Label
    {
        const char *name;
        int x;
        int numberLeft;
    };
    for (const Label &l : {Label{"art/icon_score_tl.tga", kTimeLabel.x, timeLeft},
                           Label{"art/icon_available_tl.tga", kMovesLabel.x, kMovesText.x - 2 * digitW},
                           Label{"art/icon_tiles_left_tl.tga", kTilesLeftLabel.x, kTilesLeftText.x - 2 * digitW}}) {
        std::vector<int> ink = inkColumns(pic(l.name), l.x);
        ASSERT_FALSE(ink.empty()) << l.name;
        EXPECT_LT(ink.back(), l.numberLeft) << l.name;
    }
}

TEST_F(ScreenArt, FadedOverlayHasPartialAlphaAndSitsInTheBoardArea)
{
    const Picture &plate = pic("art/nomatch_alpha_tl.tga");
    size_t opaque = std::count_if(plate.argb.begin(), plate.argb.end(), [](uint32_t v) { return (v >> 24) == 255; });
    EXPECT_GT(opaque, plate.argb.size() / 2);
    EXPECT_LT(opaque, plate.argb.size()) << "a fully opaque overlay is copied without its fade";
    int x0 = (kBoardArea.x1 - kBoardArea.x0 - plate.width) / 2 + kBoardArea.x0;
    int y0 = (kBoardArea.y1 - kBoardArea.y0 - plate.height) / 2 + kBoardArea.y0 - kNoMatchRaise;
    EXPECT_TRUE(inside(Rect{x0, y0, x0 + plate.width, y0 + plate.height},
                       Rect{kBoardArea.x0, kBoardArea.y0, kBoardArea.x1, kTimeLabel.y}));
}

TEST(ScreenArtPieces, PicturesComeOutTheSameOnEveryRun)
{
    Entries a, b;
    screenart::addLoadingScreen(a);
    screenart::addLoadingScreen(b);
    screenart::addFontAndDigits(a);
    screenart::addFontAndDigits(b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_TRUE(a[i].bytes == b[i].bytes) << a[i].name;
}

// The durations a text states, in seconds, in order: "M:SS" on the clock,
// "N s" and "N seconds"; any other number in it counts as -1.
std::vector<int> statedSeconds(const std::string &text)
{
    static const std::regex number(R"((\d+)(:(\d\d)| s\b| seconds\b)?)");
    std::vector<int> seconds;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it) {
        const std::smatch &m = *it;
        if (!m[2].matched)
            seconds.push_back(-1);
        else if (m[3].matched)
            seconds.push_back(std::stoi(m[1]) * 60 + std::stoi(m[3]));
        else
            seconds.push_back(std::stoi(m[1]));
    }
    return seconds;
}

TEST(ScreenArtTexts, RulesAndDialogsStateTheGamesRuleNumbersAndNoOthers)
{
    using namespace tmrules;
    const screenart::RuleTexts &t = screenart::ruleTexts();
    const int delay = static_cast<int>(kAutoHintDelayMs / 1000);
    const struct
    {
        const std::string &text;
        std::vector<int> seconds;
    } cases[] = {
        {t.hintPenalty, {kHintPenaltySeconds}},
        {t.undoPenalty, {kUndoPenaltySeconds}},
        {t.shufflePenalty, {kShufflePenaltySeconds}},
        {t.autoHintHelp, {delay}},
        {t.autoHintOption, {delay}},
        {t.noMoreMovesUndo, {kUndoPenaltySeconds}},
        {t.noMoreMovesShuffle, {kShufflePenaltySeconds}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(statedSeconds(c.text), c.seconds) << c.text;

    // The two ways of writing a penalty, for values the game does not use.
    const struct
    {
        int32_t seconds;
        const char *inSeconds, *onClock;
    } formats[] = {{5, "+5 s", "+0:05"}, {90, "+90 s", "+1:30"}, {600, "+600 s", "+10:00"}};
    for (const auto &f : formats) {
        EXPECT_EQ(screenart::penaltySeconds(f.seconds), f.inSeconds);
        EXPECT_EQ(screenart::penaltyClock(f.seconds), f.onClock);
    }
}

} // namespace
